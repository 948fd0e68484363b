#pragma once

#include "library/database/ID3DataBase.h"
#include "library/tasks/TaskProgress.h"

namespace zund
{
/** Removes the records of the audio files under a song folder that no other
    song folder covers. The records are found by their paths (the folder's path
    and a separator in front), so records of files that have gone from the disk,
    or of a folder that is no longer there, go too. A cancel removes nothing. */
class FolderFileRemoval
{
public:
    FolderFileRemoval (ID3DataBase& database, const juce::File& folder);

    void run (TaskProgress& progress);

private:
    ID3DataBase& database;
    const juce::File folder;
};
}
