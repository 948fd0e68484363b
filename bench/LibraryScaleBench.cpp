// The library's database operations at a working DJ's size (100,000 songs) and
// a collector's (500,000): each should cost about the same per record at both
// sizes (compare the per-record counters). The 500,000-record file is larger
// than 256 MB, which an earlier reader refused: its load must give every record.

#include "library/database/ID3DataBase.h"
#include "library/tasks/FolderFileRemoval.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <map>
#include <thread>
#include <random>

using namespace zund;

namespace
{
/** A record shaped like a real library's, some 650 bytes in the file. */
std::unique_ptr<ID3DataBaseEntry> makeRecord (int i)
{
    auto record = std::make_unique<ID3DataBaseEntry>();
    const auto artist = "Some Fairly Well Known Artist " + juce::String (i % 5000);
    const auto album = "The Album With A Longer Name, Vol. " + juce::String (i % 97);
    const auto title = "A Track Title Of Usual Length (Extended Club Mix) " + juce::String (i);
    record->filename = juce::String (i % 2 == 0 ? "/home/dj/Music/Library/" : "/home/dj/Sets/") + artist + "/" + album + "/"
                     + juce::String (i % 20 + 1).paddedLeft ('0', 2) + " " + title + ".mp3";
    record->artist = artist;
    record->album = album;
    record->song = title;
    record->bpm = juce::String (90 + i % 80);
    record->label = "Record Label Number " + juce::String (i % 300);
    record->genre = "Techno & House";
    record->year = juce::String (1980 + i % 45);
    record->quality = "320 kbps";
    record->samplerate = 44100;
    record->seconds = 180 + i % 400;
    record->lm_date = 132224078450000000LL + i;
    record->filesize = 7000000 + i;
    record->cuePoint[0] = 0.125f;
    record->cuePoint[1] = (float) (i % 1000) / 1000.0f;
    record->setValid();
    return record;
}

/** A database file of that many records, written once per size. */
struct GeneratedLibrary
{
    test::TempFolder temp;
    juce::File file = temp.file ("database.xml");
    juce::StringArray paths;

    explicit GeneratedLibrary (int numRecords)
    {
        ID3DataBase database (file);
        std::vector<std::unique_ptr<ID3DataBaseEntry>> records;
        for (int i = 0; i < numRecords; ++i)
        {
            records.push_back (makeRecord (i));
            paths.add (records.back()->filename);
        }
        for (auto& record : records)
            database.insertEntry (std::move (record));
        database.save();
    }
};

const GeneratedLibrary& library (int numRecords)
{
    static std::map<int, std::unique_ptr<GeneratedLibrary>> made;
    auto& slot = made[numRecords];
    if (slot == nullptr)
        slot = std::make_unique<GeneratedLibrary> (numRecords);
    return *slot;
}

/** The library loaded from a copy whose folder is gone again, so that the
    save at its end (of the changes a benchmark made) fails at once and the
    library stays as generated. */
std::unique_ptr<ID3DataBase> loadForChanging (int numRecords)
{
    const auto& lib = library (numRecords);
    const auto scratch = lib.temp.file ("scratch");
    scratch.createDirectory();
    lib.file.copyFileTo (scratch.getChildFile ("database.xml"));
    auto database = std::make_unique<ID3DataBase> (scratch.getChildFile ("database.xml"));
    scratch.deleteRecursively();
    return database;
}

void perRecord (benchmark::State& state, int numRecords)
{
    state.counters["records"] = numRecords;
    state.counters["us_per_record"] = benchmark::Counter ((double) numRecords * 1.0e-6,
                                                      benchmark::Counter::kIsIterationInvariantRate
                                                          | benchmark::Counter::kInvert);
}

void loadDatabase (benchmark::State& state)
{
    const int n = (int) state.range (0);
    const auto& lib = library (n);
    for (auto _ : state)
    {
        ID3DataBase database (lib.file);
        if (database.getNumEntries() != n)
            state.SkipWithError ("the file did not read back whole");
    }
    state.counters["MB"] = (double) lib.file.getSize() / 1.0e6;
    perRecord (state, n);
}
BENCHMARK (loadDatabase)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond)->Iterations (3);

void saveDatabase (benchmark::State& state)
{
    const int n = (int) state.range (0);
    const auto& lib = library (n);
    const auto copy = lib.temp.file ("copy.xml");
    lib.file.copyFileTo (copy);
    ID3DataBase database (copy);
    for (auto _ : state)
    {
        database.markDirty();
        if (! database.save())
            state.SkipWithError ("the save failed");
    }
    copy.deleteFile();
    perRecord (state, n);
}
BENCHMARK (saveDatabase)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond)->Iterations (3);

// A save copies the records under the lock a slice at a time and writes
// without it: the longest another thread (the message thread setting a cue
// point) waits for the lock meanwhile.
void longestWaitForTheLockDuringASave (benchmark::State& state)
{
    const int n = (int) state.range (0);
    ID3DataBase database (library (n).file);
    double longestMs = 0.0;
    for (auto _ : state)
    {
        database.markDirty();
        std::atomic<bool> saving { true };
        std::thread saver ([&] {
            database.save();
            saving = false;
        });
        while (saving.load())
        {
            const auto start = juce::Time::getMillisecondCounterHiRes();
            database.lock();
            database.unlock();
            longestMs = juce::jmax (longestMs, juce::Time::getMillisecondCounterHiRes() - start);
            juce::Thread::sleep (1);
        }
        saver.join();
    }
    state.counters["longest_wait_ms"] = longestMs;
    state.counters["records"] = n;
}
BENCHMARK (longestWaitForTheLockDuringASave)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond)->Iterations (3)->UseRealTime();

void findByPath (benchmark::State& state)
{
    const int n = (int) state.range (0);
    const auto& lib = library (n);
    ID3DataBase database (lib.file);
    std::vector<juce::String> probes;
    std::mt19937 random (1);
    for (int i = 0; i < 4096; ++i)
        probes.push_back (lib.paths[(int) (random() % (unsigned) n)]);
    size_t k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize (database.findIndex (probes[k++ & 4095]));
}
BENCHMARK (findByPath)->Arg (100000)->Arg (500000)->Unit (benchmark::kNanosecond);

// New files met one at a time (scans, the report's rescan, the song table).
void addTenThousandOneAtATime (benchmark::State& state)
{
    const int n = (int) state.range (0);
    constexpr int added = 10000;
    for (auto _ : state)
    {
        state.PauseTiming();
        auto database = loadForChanging (n);
        std::vector<std::unique_ptr<ID3DataBaseEntry>> records;
        for (int i = 0; i < added; ++i)
            records.push_back (makeRecord (n + i));
        state.ResumeTiming();

        for (auto& record : records)
            database->insertEntry (std::move (record));

        state.PauseTiming();
        const bool whole = database->getNumEntries() == n + added;
        database.reset();
        state.ResumeTiming();
        if (! whole)
        {
            state.SkipWithError ("records went missing");
            break;
        }
    }
    state.counters["records"] = n;
}
BENCHMARK (addTenThousandOneAtATime)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond)->Iterations (3);

// Half the library removed in one go (a song folder; Delete over many rows).
void removeHalf (benchmark::State& state)
{
    const int n = (int) state.range (0);
    const auto& lib = library (n);
    juce::StringArray half;
    for (int i = 0; i < n; i += 2)
        half.add (lib.paths[i]);
    for (auto _ : state)
    {
        state.PauseTiming();
        auto database = loadForChanging (n);
        state.ResumeTiming();

        const bool all = database->removeFiles (half) == half.size();

        state.PauseTiming();
        database.reset();
        state.ResumeTiming();
        if (! all)
        {
            state.SkipWithError ("not every record went");
            break;
        }
    }
    perRecord (state, n);
}
BENCHMARK (removeHalf)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond)->Iterations (3);

struct NoProgress : TaskProgress
{
    void showStatus (const juce::String&) override {}
    void showProgress (double) override {}
    bool isCancelled() const override { return false; }
};

// A song folder holding half the library is removed (its records found by
// path, then taken in one pass).
void removeSongFolder (benchmark::State& state)
{
    const int n = (int) state.range (0);
    for (auto _ : state)
    {
        state.PauseTiming();
        auto database = loadForChanging (n);
        database->setSongFolders ({ "/home/dj/Music/Library", "/home/dj/Sets" });
        state.ResumeTiming();

        NoProgress progress;
        FolderFileRemoval (*database, juce::File ("/home/dj/Sets")).run (progress);

        state.PauseTiming();
        const bool half = database->getNumEntries() == n / 2;
        database.reset();
        state.ResumeTiming();
        if (! half)
        {
            state.SkipWithError ("not the folder's records");
            break;
        }
    }
    perRecord (state, n);
}
BENCHMARK (removeSongFolder)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond)->Iterations (3);

// A tenth of the library located elsewhere: the records move in one pass.
void moveATenth (benchmark::State& state)
{
    const int n = (int) state.range (0);
    for (auto _ : state)
    {
        state.PauseTiming();
        auto database = loadForChanging (n);
        std::vector<ID3DataBase::Move> moves;
        for (int i = 0; i < database->getNumEntries(); i += 10)
            moves.push_back ({ database->getEntry (i), "/mnt/new/" + juce::String (i) + ".mp3" });
        state.ResumeTiming();

        database->moveRecords (moves);

        state.PauseTiming();
        database.reset();
        state.ResumeTiming();
    }
    perRecord (state, n);
}
BENCHMARK (moveATenth)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond)->Iterations (3);
}
