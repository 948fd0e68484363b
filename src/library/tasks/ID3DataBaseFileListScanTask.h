#pragma once

#include "library/tasks/DatabaseTaskWindow.h"
#include "library/tasks/FileListScan.h"

namespace zund
{
/** The rescan of a list of files behind its progress window. */
class ID3DataBaseFileListScanTask : public DatabaseTaskWindow
{
public:
    ID3DataBaseFileListScanTask (ID3DataBase& database, std::vector<juce::File>& files);

private:
    void runTask (TaskProgress& progress) override;

    FileListScan scan;
};
}
