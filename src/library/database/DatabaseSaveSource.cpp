#include "library/database/DatabaseSaveSource.h"

namespace zund
{
LibraryAutoSaver::Source makeDatabaseSaveSource (ID3DataBase& database)
{
    LibraryAutoSaver::Source source;
    source.fingerprint = [&database] { return database.getChangeCount(); };
    source.prepare = [&database] { return std::function<bool()> ([&database] { return database.save(); }); };
    source.startsDirty = [&database] { return database.isDirty(); };
    return source;
}
}
