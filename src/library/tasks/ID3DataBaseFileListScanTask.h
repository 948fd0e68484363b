#pragma once

#include "library/tasks/FileListScan.h"
#include "library/tasks/TaskWindowFor.h"

namespace zund
{
/** The rescan of a list of files behind its progress window. */
class ID3DataBaseFileListScanTask : public TaskWindowFor<FileListScan>
{
public:
    ID3DataBaseFileListScanTask (ID3DataBase& database, std::vector<juce::File>& files)
        : TaskWindowFor ("Scanning files...", database, files)
    {
    }
};
}
