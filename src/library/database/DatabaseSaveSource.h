#pragma once

#include "library/database/ID3DataBase.h"
#include "library/database/LibraryAutoSaver.h"

namespace zund
{
/** "database.xml" for the saves while the program runs: a change is any change
    the database counts, and the saving thread writes it (save copies the
    records under the lock). A database that is dirty at the start (the
    start-up check ran) is saved once soon. */
LibraryAutoSaver::Source makeDatabaseSaveSource (ID3DataBase& database);
}
