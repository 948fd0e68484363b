#include "GeneratedLibrary.h"

#include "library/database/ID3DataBase.h"
#include "support/Mp3Fixtures.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <juce_graphics/juce_graphics.h>

#include <random>

using namespace zund;

namespace
{
constexpr int numRecords = 100000;

/** A "database.xml" of 100,000 records shaped like a real library's. */
struct LargeDatabase
{
    test::TempFolder temp;
    juce::File file = temp.file ("database.xml");
    juce::StringArray paths;

    LargeDatabase()
    {
        ID3DataBase database (file);
        for (int i = 0; i < numRecords; ++i)
        {
            auto record = bench::makeGeneratedRecord (bench::generatedSongPath (i), i);
            record->lm_date = 132224078450000000LL + i;
            record->filesize = 7000000 + i;
            record->cuePoint[0] = 0.125f;
            record->cuePoint[1] = (float) (i % 1000) / 1000.0f;
            record->setValid();
            paths.add (record->filename);
            database.insertEntry (std::move (record));
        }
    }
};

const LargeDatabase& largeDatabase()
{
    static LargeDatabase instance;
    return instance;
}

void loadDatabase (benchmark::State& state)
{
    const auto& large = largeDatabase();
    for (auto _ : state)
    {
        ID3DataBase database (large.file);
        benchmark::DoNotOptimize (database.getNumEntries());
    }
    state.counters["MB"] = (double) large.file.getSize() / 1.0e6;
}
BENCHMARK (loadDatabase)->Unit (benchmark::kMillisecond);

void saveDatabase (benchmark::State& state)
{
    const auto& large = largeDatabase();
    const auto copy = large.temp.file ("copy.xml");
    large.file.copyFileTo (copy);
    ID3DataBase database (copy);
    for (auto _ : state)
    {
        database.markDirty();
        benchmark::DoNotOptimize (database.save());
    }
}
BENCHMARK (saveDatabase)->Unit (benchmark::kMillisecond);

void findByPath (benchmark::State& state)
{
    const auto& large = largeDatabase();
    ID3DataBase database (large.file);
    std::mt19937 random (1);
    for (auto _ : state)
        benchmark::DoNotOptimize (database.findIndex (large.paths[(int) (random() % numRecords)]));
}
BENCHMARK (findByPath)->Unit (benchmark::kNanosecond);

// A five-minute MP3 with a full tag and cover art, read into a new record.
void readTaggedMp3 (benchmark::State& state)
{
    test::TempFolder temp;
    const auto minute = temp.file ("minute.mp3");
    const auto song = temp.file ("song.mp3");
    test::writeMp3 (minute, 44100, 2, 44100 * 60, test::richSignal (44100), { "-b", "256" });
    test::writeRepeatedMp3 (minute, song, 5);
    const auto cover = temp.file ("cover.jpg");
    {
        juce::Image image (juce::Image::RGB, 300, 300, false);
        juce::Random random (1);
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                image.setPixelAt (x, y, juce::Colour ((juce::uint32) random.nextInt()).withAlpha (1.0f));
        juce::FileOutputStream out (cover);
        juce::JPEGImageFormat jpeg;
        jpeg.setQuality (0.9f);
        jpeg.writeImageToStream (image, out);
    }
    test::tagWithEyeD3 (song, { "--to-v2.3", "-a", "Artist", "-t", "Title", "-A", "Album", "--bpm", "128",
                                "--publisher", "Label", "-G", "Techno", "--text-frame", "TYER:2020",
                                "--add-image", cover.getFullPathName() + ":FRONT_COVER" });

    ID3DataBase database (temp.file ("database.xml"));
    ID3DataBaseEntry check;
    if (! database.readFileInfo (&check, song) || check.seconds < 290 || check.artist != "Artist")
        state.SkipWithError ("the tagged five-minute MP3 was not made");
    for (auto _ : state)
    {
        ID3DataBaseEntry record;
        benchmark::DoNotOptimize (database.readFileInfo (&record, song));
    }
}
BENCHMARK (readTaggedMp3)->Unit (benchmark::kMillisecond);
}
