#include "library/tasks/FileListScan.h"

#include "common/AudioFileTypes.h"
#include "library/tasks/RecordUpdater.h"

namespace zund
{
FileListScan::FileListScan (ID3DataBase& db, std::vector<juce::File>& list) : database (db), files (list)
{
}

void FileListScan::run (TaskProgress& progress)
{
    const auto total = (double) files.size();
    RecordUpdater updater (database);
    for (int i = 0; ! files.empty() && ! progress.isCancelled(); ++i)
    {
        const auto file = files.back();
        if (isSupportedAudioFile (file))
        {
            progress.showStatus ("Scanning file " + juce::String (i + 1) + "/" + juce::String ((int) total) + " : \n"
                                 + file.getFullPathName());
            updater.rescanFile (file);
            progress.showProgress (i / total);
        }
        files.pop_back();
    }
}
}
