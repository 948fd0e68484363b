#pragma once

#include "library/database/ID3DataBase.h"
#include "library/tasks/TaskProgress.h"

namespace zund
{
/** Adds every audio file under a folder to the database as a stored record:
    a counting walk first, then a walk that reads the files without a record
    (known files are not read again). */
class FolderScan
{
public:
    FolderScan (ID3DataBase& database, const juce::File& folder);

    void run (TaskProgress& progress);

    /** The song files and folders the walk skipped for their names
        (describeSkippedNames); the scan's status tells how many. */
    const juce::StringArray& getSkippedNames() const noexcept { return skippedNames; }

private:
    ID3DataBase& database;
    const juce::File folder;
    juce::StringArray skippedNames;
};
}
