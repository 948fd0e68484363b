#pragma once

#include "library/database/ID3DataBase.h"
#include "library/database/SongFileReader.h"
#include "library/tasks/TaskProgress.h"

#include <functional>

namespace zund
{
/** Brings files into the database for the tasks. A file is read outside the
    database lock, with this object's own tag buffers, and its record is found
    or made under the lock afterwards, the lookup repeated there: the song
    table's worker is never held up by file reading, and two readers never make
    two records for one path. Every record it touches becomes a stored one. */
class RecordUpdater
{
public:
    using Change = std::function<void (ID3DataBaseEntry&)>;

    /** Touches the database only under the task's holds (none once it was given up). */
    RecordUpdater (ID3DataBase& database, TaskProgress& progress);

    /** A file without a record is read into a new one; a known file is not read
        again. Nothing happens for a missing file without a record. */
    void addFile (const juce::File& file);

    /** The file is read again into its record (made when there is none); a known
        file that has gone keeps what its record holds. */
    void rescanFile (const juce::File& file);

    /** As addFile, then `change` runs on the record under the lock. A missing
        file gets a record too, holding only its path. */
    void changeRecord (const juce::File& file, const Change& change);

private:
    void update (const juce::File& file, bool readKnownFile, bool evenWhenMissing, const Change& change);
    void store (ID3DataBaseEntry& record, const Change& change);

    ID3DataBase& database;
    TaskProgress& progress;
    SongFileReader reader;
};
}
