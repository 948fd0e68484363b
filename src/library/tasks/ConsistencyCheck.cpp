#include "library/tasks/ConsistencyCheck.h"

#include "audiofile/peaks/PeakFile.h"
#include "common/files/AudioFileTypes.h"
#include "common/files/FileFacts.h"
#include "common/files/ProgramFolder.h"
#include "common/files/FolderWalker.h"
#include "library/tasks/PeakFileCues.h"
#include "library/tasks/RecordUpdater.h"
#include "library/tasks/SkippedNames.h"

#include <sys/stat.h>

#include <algorithm>
#include <unordered_set>

namespace zund
{
namespace
{
struct StringHash
{
    size_t operator() (const juce::String& text) const noexcept { return (size_t) text.hashCode64(); }
};

bool isPeakFile (const juce::File& file)
{
    return file.getFileName().endsWith (".pk");
}

/** A file (not a folder) is there: one question to the disk, no path parsing. */
bool isExistingFile (const juce::String& path)
{
    struct stat info;
    return ::stat (path.toRawUTF8(), &info) == 0 && ! S_ISDIR (info.st_mode);
}

int countPeakFiles (const juce::File& folder)
{
    int count = 0;
    FolderWalker walker (folder);
    for (juce::File file; walker.next (file);)
        count += isPeakFile (file) ? 1 : 0;
    return count;
}
}

ConsistencyCheck::ConsistencyCheck (ID3DataBase& db, const juce::StringArray& folders)
    : database (db), songFolders (folders)
{
}

ConsistencyCheck::Outcome ConsistencyCheck::run (TaskProgress& progress)
{
    outcome = runPasses (progress);
    return outcome;
}

ConsistencyCheck::Outcome ConsistencyCheck::runPasses (TaskProgress& progress)
{
    bool unversioned = false;
    {
        const auto hold = progress.holdResults();
        if (! hold)
            return Outcome::cancelled;
        unversioned = database.getVersion().isEmpty();
    }

    if (unversioned)
    {
        migrating = true; // stays set unless the pass completes
        if (! migrateCuePoints (progress))
        {
            // Half a migration must not be saved: the file would then carry a
            // version, and the rest of the cue points would never be migrated.
            // (A run given up does not touch it: its window reloads it.)
            if (const auto hold = progress.holdResults())
                database.load();
            return Outcome::quitRequested;
        }
        migrating = false;
    }

    {
        const auto hold = progress.holdResults();
        if (! hold)
            return Outcome::cancelled;
        database.markDirty();
    }

    if (! markMissingFiles (progress) || ! collectSongFolderFiles (progress) || ! findFilesToScan (progress))
        return Outcome::cancelled;
    return Outcome::finished;
}

bool ConsistencyCheck::migrateCuePoints (TaskProgress& progress)
{
    progress.showStatus ("Pass 1: Migrating old Database...");
    const auto peakFolder = getApplicationFolderFile ("PKFiles");
    const int total = countPeakFiles (peakFolder);

    RecordUpdater updater (database, progress);
    FolderWalker walker (peakFolder);
    int k = 0;
    for (juce::File peakFile; walker.next (peakFile);)
    {
        if (! isPeakFile (peakFile))
            continue;
        ++k;

        const auto audioFile = PeakFile::getAudioFileForPeakFile (peakFile);
        float cuePoints[ID3DataBaseEntry::numCuePoints];
        if (audioFile != juce::File() && readPeakFileCuePoints (peakFile, cuePoints))
            updater.changeRecord (audioFile, [&cuePoints] (ID3DataBaseEntry& record) {
                std::copy (std::begin (cuePoints), std::end (cuePoints), record.cuePoint);
            });

        if (progress.isCancelled())
            return false;
        progress.showStatus ("Migrating Database... [" + audioFile.getFileName() + "]");
        if (total > 0)
            progress.showProgress ((k - 1) / (double) total);
    }
    return true;
}

bool ConsistencyCheck::markMissingFiles (TaskProgress& progress)
{
    progress.showStatus ("Checking if there are missing files in database...");

    // The disk is asked outside the lock; the flags are set under it in one go.
    juce::StringArray paths;
    {
        const auto hold = progress.holdResults();
        if (! hold)
            return false;
        const juce::ScopedLock sl (database.getLock());
        paths.ensureStorageAllocated (database.getNumEntries());
        for (int i = 0; i < database.getNumEntries(); ++i)
            paths.add (database.getEntry (i)->filename);
    }

    std::unordered_set<juce::String, StringHash> missing;
    bool cancelled = false;
    for (int k = 1; k <= paths.size(); ++k)
    {
        const auto& path = paths.getReference (k - 1);
        if (! isExistingFile (path))
            missing.insert (path);

        if (progress.isCancelled())
        {
            cancelled = true;
            break;
        }
        progress.showProgress ((k - 1) / (double) paths.size());
    }

    if (! missing.empty())
    {
        const auto hold = progress.holdResults();
        if (! hold)
            return false;
        const juce::ScopedLock sl (database.getLock());
        for (int i = 0; i < database.getNumEntries(); ++i)
        {
            auto* record = database.getEntry (i);
            if (missing.count (record->filename) != 0)
                record->missing = true;
        }
    }
    return ! cancelled;
}

bool ConsistencyCheck::collectSongFolderFiles (TaskProgress& progress)
{
    progress.showStatus ("Collecting list of files in song folders...");

    // Nested song folders give the same paths twice: each is listed once.
    std::unordered_set<juce::String, StringHash> listed (filesInSongFolders.begin(), filesInSongFolders.end());
    std::unordered_set<juce::String, StringHash> skippedOnce (skippedNames.begin(), skippedNames.end());
    int k = 0;
    for (const auto& folder : songFolders)
    {
        if (! juce::File::isAbsolutePath (folder))
            continue;

        FolderWalker walker { juce::File (folder) };
        for (juce::File file; walker.next (file);)
        {
            ++k;
            // The walk says it is a file: only its extension is left to test.
            if (isSupportedAudioExtension (getPathExtension (file.getFullPathName())))
            {
                const auto path = file.getFullPathName();
                if (listed.insert (path).second)
                    filesInSongFolders.add (path);
            }

            if (progress.isCancelled())
                return false;
            progress.showProgress ((k - 1) / (double) songFolders.size());
        }
        for (const auto& name : describeSkippedNames (walker.getSkipped()))
            if (skippedOnce.insert (name).second)
                skippedNames.add (name);
    }
    return true;
}

bool ConsistencyCheck::findFilesToScan (TaskProgress& progress)
{
    progress.showStatus ("Computing list of files that should be scanned...");

    for (const auto& path : filesInSongFolders)
    {
        bool known = false;
        juce::int64 knownTime = 0, knownSize = 0;
        {
            const auto hold = progress.holdResults();
            if (! hold)
                return false;
            const juce::ScopedLock sl (database.getLock());
            if (const auto* record = database.getEntry (database.findIndex (path)))
            {
                known = true;
                knownTime = record->lm_date;
                knownSize = record->filesize;
            }
        }

        // The file's facts are read outside the lock.
        const juce::File file (path);
        juce::int64 time = 0, size = 0;
        if (! known || ! getFileTimeAndSize (file, time, size) || time != knownTime || size != knownSize)
            filesToScan.push_back (file);

        if (progress.isCancelled())
            return false;
    }
    return true;
}
}
