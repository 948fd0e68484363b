#include "library/tasks/FolderScan.h"

#include "common/files/AudioFileTypes.h"
#include "common/files/FolderWalker.h"
#include "library/tasks/RecordUpdater.h"
#include "library/tasks/SkippedNames.h"

namespace zund
{
namespace
{
// The walk says it is a file: only its extension is left to test.
bool isAudioFile (const juce::File& file)
{
    return isSupportedAudioExtension (getPathExtension (file.getFullPathName()));
}
}

FolderScan::FolderScan (ID3DataBase& db, const juce::File& f) : database (db), folder (f)
{
}

void FolderScan::run (TaskProgress& progress)
{
    int count = 0;
    {
        FolderWalker walker (folder);
        for (juce::File file; walker.next (file);)
        {
            if (isAudioFile (file))
                progress.showStatus ("Counting files... " + juce::String (++count) + " audio files found.");
            if (progress.isCancelled())
                return;
        }
        skippedNames = describeSkippedNames (walker.getSkipped());
    }
    const auto note = skippedNamesNote (skippedNames.size());
    if (count < 1)
    {
        if (note.isNotEmpty())
            progress.showStatus (note);
        return;
    }

    RecordUpdater updater (database, progress);
    FolderWalker walker (folder);
    int i = 0;
    for (juce::File file; walker.next (file);)
    {
        if (isAudioFile (file))
        {
            ++i;
            progress.showStatus ("Scanning file " + juce::String (i) + "/" + juce::String (count) + " : \n"
                                 + file.getFullPathName() + (note.isEmpty() ? juce::String() : "\n" + note));
            updater.addFile (file);
            progress.showProgress (i / (double) count);
        }
        if (progress.isCancelled())
            return;
    }
}
}
