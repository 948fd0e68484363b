#include "library/tasks/ID3DataBaseRemoveFilesForFolderTask.h"

namespace zund
{
ID3DataBaseRemoveFilesForFolderTask::ID3DataBaseRemoveFilesForFolderTask (ID3DataBase& database,
                                                                          const juce::File& folder)
    : DatabaseTaskWindow ("Removing files from Database..."), removal (database, folder)
{
}

void ID3DataBaseRemoveFilesForFolderTask::runTask (TaskProgress& progress)
{
    removal.run (progress);
}
}
