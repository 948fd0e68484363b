#include "library/tasks/FileListScan.h"

#include "common/files/AudioFileTypes.h"
#include "library/tasks/RecordUpdater.h"

namespace zund
{
FileListScan::FileListScan (ID3DataBase& db, std::vector<juce::File>& list) : database (db), files (list)
{
}

void FileListScan::run (TaskProgress& progress)
{
    double total = 0;
    {
        const auto hold = progress.holdResults();
        if (! hold)
            return;
        total = (double) files.size();
    }

    // The list is its caller's: it is touched only under holds, the files are read outside them.
    RecordUpdater updater (database, progress);
    for (int i = 0; ! progress.isCancelled(); ++i)
    {
        juce::File file;
        {
            const auto hold = progress.holdResults();
            if (! hold || files.empty())
                return;
            file = files.back();
        }

        if (isSupportedAudioFile (file))
        {
            progress.showStatus ("Scanning file " + juce::String (i + 1) + "/" + juce::String ((int) total) + " : \n"
                                 + file.getFullPathName());
            updater.rescanFile (file);
            progress.showProgress (i / total);
        }

        const auto hold = progress.holdResults();
        if (! hold)
            return;
        files.pop_back();
    }
}
}
