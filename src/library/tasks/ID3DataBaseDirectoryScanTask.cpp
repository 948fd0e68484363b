#include "library/tasks/ID3DataBaseDirectoryScanTask.h"

namespace zund
{
ID3DataBaseDirectoryScanTask::ID3DataBaseDirectoryScanTask (ID3DataBase& database, const juce::File& folder)
    : DatabaseTaskWindow ("Scanning files..."), scan (database, folder)
{
}

void ID3DataBaseDirectoryScanTask::runTask (TaskProgress& progress)
{
    scan.run (progress);
}
}
