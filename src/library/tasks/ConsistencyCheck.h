#pragma once

#include "library/database/ID3DataBase.h"
#include "library/tasks/TaskProgress.h"

#include <atomic>
#include <vector>

namespace zund
{
/** The start-up check of the database against the disk, in four passes:
    1. only for a database without a version (an old or no file): cue points of
       the old peak files move into the records of their audio files;
    2. records whose file has gone are marked missing;
    3. the audio files in the song folders are listed, each path once;
    4. those without a record, or changed since it was read, are to be scanned.
    The database is marked dirty after pass 1, so it is written at shut-down. */
class ConsistencyCheck
{
public:
    enum class Outcome
    {
        finished,
        cancelled,     // during passes 2 to 4: what they found stays
        quitRequested  // during pass 1: the database is loaded again, and the program is to quit
    };

    ConsistencyCheck (ID3DataBase& database, const juce::StringArray& songFolders);

    Outcome run (TaskProgress& progress);

    /** What the last run came to; `cancelled` before a run. */
    Outcome getOutcome() const noexcept { return outcome; }

    /** True while the first pass runs (from any thread). */
    bool isMigrating() const noexcept { return migrating.load(); }

    /** The audio files in the song folders, in walk order, each path once. */
    const juce::StringArray& getFilesInSongFolders() const noexcept { return filesInSongFolders; }

    /** The files that are new or changed; the rescan consumes them. */
    std::vector<juce::File>& getFilesToScan() noexcept { return filesToScan; }

    /** The song files and folders in the song folders that were skipped for
        their names (describeSkippedNames), each once. */
    const juce::StringArray& getSkippedNames() const noexcept { return skippedNames; }

private:
    Outcome runPasses (TaskProgress& progress);
    bool migrateCuePoints (TaskProgress& progress);
    bool markMissingFiles (TaskProgress& progress);
    bool collectSongFolderFiles (TaskProgress& progress);
    bool findFilesToScan (TaskProgress& progress);

    ID3DataBase& database;
    const juce::StringArray songFolders;
    juce::StringArray filesInSongFolders;
    juce::StringArray skippedNames;
    std::vector<juce::File> filesToScan;
    Outcome outcome = Outcome::cancelled;
    std::atomic<bool> migrating { false };
};
}
