#include "library/tasks/ID3DataBaseFileListScanTask.h"

namespace zund
{
ID3DataBaseFileListScanTask::ID3DataBaseFileListScanTask (ID3DataBase& database, std::vector<juce::File>& files)
    : DatabaseTaskWindow ("Scanning files..."), scan (database, files)
{
}

void ID3DataBaseFileListScanTask::runTask (TaskProgress& progress)
{
    scan.run (progress);
}
}
