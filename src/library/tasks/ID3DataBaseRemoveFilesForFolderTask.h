#pragma once

#include "library/tasks/FolderFileRemoval.h"
#include "library/tasks/TaskWindowFor.h"

namespace zund
{
/** The removal of a song folder's records behind its progress window. */
class ID3DataBaseRemoveFilesForFolderTask : public TaskWindowFor<FolderFileRemoval>
{
public:
    ID3DataBaseRemoveFilesForFolderTask (ID3DataBase& database, const juce::File& folder)
        : TaskWindowFor ("Removing files from Database...", database, folder)
    {
    }
};
}
