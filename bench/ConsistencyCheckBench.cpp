#include "common/files/FileFacts.h"
#include "library/database/ID3DataBase.h"
#include "library/tasks/ConsistencyCheck.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>

using namespace zund;

namespace
{
constexpr int numFolders = 200;
constexpr int filesPerFolder = 500;

/** Two song folders holding 100,000 audio files (empty: nothing is read when
    nothing changed), and the stored records of all of them, as a database
    written by the program holds them. */
struct Library
{
    test::TempFolder temp;
    juce::StringArray songFolders { temp.file ("Music").getFullPathName(), temp.file ("Sets").getFullPathName() };
    std::unique_ptr<juce::XmlElement> databaseXml = std::make_unique<juce::XmlElement> ("Zund2DataBase");

    Library()
    {
        databaseXml->setAttribute ("version", "2.20");
        std::vector<std::unique_ptr<juce::XmlElement>> records;
        for (int f = 0; f < numFolders; ++f)
        {
            const auto folder = juce::File (songFolders[f % 2]).getChildFile ("Artist " + juce::String (f))
                                    .getChildFile ("Album " + juce::String (f % 7));
            folder.createDirectory();
            for (int i = 0; i < filesPerFolder; ++i)
            {
                const auto file = folder.getChildFile (juce::String (i).paddedLeft ('0', 3) + " Some Track Title.mp3");
                file.create();
                ID3DataBaseEntry record;
                record.filename = file.getFullPathName();
                record.artist = "Artist " + juce::String (f);
                record.quality = "320 kbps";
                getFileTimeAndSize (file, record.lm_date, record.filesize);
                records.push_back (record.createXml ("Entry"));
            }
            folder.getChildFile ("cover.jpg").create();
        }
        // Prepended from the back: appending walks the whole child list each time.
        for (auto i = records.size(); i-- > 0;)
            databaseXml->prependChildElement (records[i].release());
    }
};

struct SilentProgress : TaskProgress
{
    void showStatus (const juce::String&) override {}
    void showProgress (double) override {}
    bool isCancelled() const override { return false; }
};

// The check at every start-up, over a library where nothing changed (the disk's
// facts come from the cache after the first round).
void startUpCheckOfAnUnchangedLibrary (benchmark::State& state)
{
    static Library library;
    // The check marks the database for saving: an earlier run has written this file.
    const auto databaseFile = library.temp.file ("database.xml");
    databaseFile.deleteFile();
    ID3DataBase database (databaseFile);
    database.loadFromXml (*library.databaseXml);
    if (database.getNumEntries() != numFolders * filesPerFolder)
        state.SkipWithError ("the library was not made");

    for (auto _ : state)
    {
        SilentProgress progress;
        ConsistencyCheck check (database, library.songFolders);
        const auto outcome = check.run (progress);
        if (outcome != ConsistencyCheck::Outcome::finished || ! check.getFilesToScan().empty()
            || database.getNumMissingEntries() != 0)
            state.SkipWithError ("the check found changes in an unchanged library");
        state.counters["files"] = check.getFilesInSongFolders().size();
    }
}
BENCHMARK (startUpCheckOfAnUnchangedLibrary)->Unit (benchmark::kMillisecond)->MinWarmUpTime (1.0);
}
