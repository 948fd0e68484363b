#include "library/database/DatabaseSaveSource.h"

namespace zund
{
LibraryAutoSaver::Source makeDatabaseSaveSource (ID3DataBase& database)
{
    LibraryAutoSaver::Source source;
    source.fingerprint = [&database] { return database.getChangeCount(); };
    source.prepare = [&database] {
        return LibraryAutoSaver::Write ([&database] (juce::String& reason) {
            if (database.save())
                return true;
            reason = database.getLastSaveError();
            return false;
        });
    };
    source.startsDirty = [&database] { return database.isDirty(); };
    return source;
}
}
