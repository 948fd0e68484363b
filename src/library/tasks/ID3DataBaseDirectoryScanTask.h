#pragma once

#include "library/tasks/FolderScan.h"
#include "library/tasks/TaskWindowFor.h"

namespace zund
{
/** The scan of a song folder behind its progress window. */
class ID3DataBaseDirectoryScanTask : public TaskWindowFor<FolderScan>
{
public:
    ID3DataBaseDirectoryScanTask (ID3DataBase& database, const juce::File& folder)
        : TaskWindowFor ("Scanning files...", database, folder)
    {
    }
};
}
