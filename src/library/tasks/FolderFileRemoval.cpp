#include "library/tasks/FolderFileRemoval.h"

#include "common/AudioFileTypes.h"

namespace zund
{
FolderFileRemoval::FolderFileRemoval (ID3DataBase& db, const juce::File& f) : database (db), folder (f)
{
}

void FolderFileRemoval::run (TaskProgress& progress)
{
    // No file is opened here (paths only), so the whole run may hold the database.
    const auto hold = progress.holdResults();
    if (! hold)
        return;

    // "/music" must not take "/music2" with it.
    const auto prefix = juce::File::addTrailingSeparator (folder.getFullPathName());

    juce::StringArray paths;
    {
        const juce::ScopedLock sl (database.getLock());
        for (int i = 0; i < database.getNumEntries(); ++i)
            if (database.getEntry (i)->filename.startsWith (prefix))
                paths.add (database.getEntry (i)->filename);
    }

    // The folder is normally still a song folder while its files are removed, and
    // then covers each of them once itself: only a further song folder keeps a file.
    // (Folders containing a child of the folder, less those containing the folder,
    // are the song folders that are this folder.)
    const int coveredBySelf = juce::jmin (1, database.countSongFoldersContaining (folder.getChildFile ("x"))
                                                 - database.countSongFoldersContaining (folder));

    juce::StringArray toRemove;
    for (int k = 0; k < paths.size(); ++k)
    {
        const juce::File file (paths[k]);
        if (isSupportedAudioExtension (getPathExtension (paths[k]))
            && database.countSongFoldersContaining (file) - coveredBySelf < 1)
        {
            toRemove.add (paths[k]);
            progress.showStatus ("Making list of files to remove... " + juce::String (toRemove.size())
                                 + " audio files found.");
        }
        progress.showProgress ((k + 1) / (double) paths.size());
        if (progress.isCancelled())
            return;
    }

    progress.showStatus ("Removing files...");
    database.removeFiles (toRemove); // one pass over the records, not one per file
}
}
