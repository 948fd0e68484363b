#pragma once

#include "library/tasks/DatabaseTaskWindow.h"
#include "library/tasks/FolderFileRemoval.h"

namespace zund
{
/** The removal of a song folder's records behind its progress window. */
class ID3DataBaseRemoveFilesForFolderTask : public DatabaseTaskWindow
{
public:
    ID3DataBaseRemoveFilesForFolderTask (ID3DataBase& database, const juce::File& folder);

private:
    void runTask (TaskProgress& progress) override;

    FolderFileRemoval removal;
};
}
