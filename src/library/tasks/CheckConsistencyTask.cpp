#include "library/tasks/CheckConsistencyTask.h"

namespace zund
{
CheckConsistencyTask::CheckConsistencyTask (ID3DataBase& database, const juce::StringArray& songFolders)
    : DatabaseTaskWindow ("Checking database consistency..."), check (database, songFolders)
{
}

void CheckConsistencyTask::runTask (TaskProgress& progress)
{
    outcome = check.run (progress);
}
}
