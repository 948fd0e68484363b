#include "library/tasks/FolderFileRemoval.h"

#include "common/files/AudioFileTypes.h"

#include <cstring>
#include <string>
#include <vector>

namespace zund
{
FolderFileRemoval::FolderFileRemoval (ID3DataBase& db, const juce::File& f) : database (db), folder (f)
{
}

namespace
{
/** How many of the folders (each with a trailing separator) hold the path at
    any depth: what the framework's is-a-child-of test answers for our
    normalised paths, without building a File per folder and level (half a
    million paths are tested). */
int countFoldersHolding (const char* path, const std::vector<std::string>& folders) noexcept
{
    int count = 0;
    for (const auto& folder : folders)
        count += std::strncmp (path, folder.c_str(), folder.size()) == 0 && path[folder.size()] != 0 ? 1 : 0;
    return count;
}
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
        const auto prefixLength = std::strlen (prefix.toRawUTF8());
        for (int i = 0; i < database.getNumEntries(); ++i)
            if (const auto& path = database.getEntry (i)->filename; std::strncmp (path.toRawUTF8(), prefix.toRawUTF8(), prefixLength) == 0)
                paths.add (path);
    }

    // The folder is normally still a song folder while its files are removed, and
    // then covers each of them once itself: only a further song folder keeps a file.
    // (Folders containing a child of the folder, less those containing the folder,
    // are the song folders that are this folder.)
    const int coveredBySelf = juce::jmin (1, database.countSongFoldersContaining (folder.getChildFile ("x"))
                                                 - database.countSongFoldersContaining (folder));
    std::vector<std::string> songFolders;
    for (const auto& songFolder : database.getSongFolders())
        if (juce::File::isAbsolutePath (songFolder))
            songFolders.push_back (juce::File::addTrailingSeparator (juce::File (songFolder).getFullPathName()).toStdString());

    const auto prefixBytes = prefix.toStdString();
    auto isToGo = [&] (const juce::String& path) {
        const auto* bytes = path.toRawUTF8();
        return std::strncmp (bytes, prefixBytes.c_str(), prefixBytes.size()) == 0 && hasSupportedAudioExtension (path)
            && countFoldersHolding (bytes, songFolders) - coveredBySelf < 1;
    };

    // The window shows the text every few hundredths of a second: it need not be
    // made for every one of half a million files.
    int found = 0, shown = 0;
    auto showCount = [&] {
        progress.showStatus ("Making list of files to remove... " + juce::String (found) + " audio files found.");
        shown = found;
    };
    for (int k = 0; k < paths.size(); ++k)
    {
        if (isToGo (paths[k]) && ++found % 512 == 1)
            showCount();
        progress.showProgress ((k + 1) / (double) paths.size());
        if (progress.isCancelled())
            return;
    }
    if (found != shown)
        showCount();

    // One pass over the records, testing each path as above: no lookup per file.
    progress.showStatus ("Removing files...");
    database.removeWhere ([&isToGo] (const ID3DataBaseEntry& record) { return isToGo (record.filename); });
}
}
