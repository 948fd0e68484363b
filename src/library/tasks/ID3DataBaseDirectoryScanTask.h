#pragma once

#include "library/tasks/DatabaseTaskWindow.h"
#include "library/tasks/FolderScan.h"

namespace zund
{
/** The scan of a song folder behind its progress window. */
class ID3DataBaseDirectoryScanTask : public DatabaseTaskWindow
{
public:
    ID3DataBaseDirectoryScanTask (ID3DataBase& database, const juce::File& folder);

private:
    void runTask (TaskProgress& progress) override;

    FolderScan scan;
};
}
