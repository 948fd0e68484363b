#pragma once

#include "library/database/ID3DataBase.h"
#include "library/tasks/TaskProgress.h"

#include <vector>

namespace zund
{
/** Reads each file of a list again into its record (made when there is none),
    taking the files from the end of the list and dropping each once done:
    after a cancel the list holds exactly the files not yet read. */
class FileListScan
{
public:
    FileListScan (ID3DataBase& database, std::vector<juce::File>& files);

    void run (TaskProgress& progress);

private:
    ID3DataBase& database;
    std::vector<juce::File>& files;
};
}
