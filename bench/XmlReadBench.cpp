#include "common/xml/SafeXmlReader.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>

using namespace zund;

namespace
{
// A song database of 100,000 records of about 20 attributes each, as the
// library writes it (some 40 MB).
struct Database
{
    test::TempFolder temp;
    juce::File file = temp.file ("database.xml");

    Database()
    {
        juce::XmlElement root ("Zund2DataBase");
        juce::Random random (7);
        for (int i = 0; i < 100000; ++i)
        {
            auto* song = root.createNewChildElement ("SONG");
            song->setAttribute ("FILENAME", "Track " + juce::String (i) + " - Caf\xc3\xa9 & Friends.mp3");
            song->setAttribute ("PATH", "/home/dj/Music/Crates/Crate " + juce::String (i % 300));
            song->setAttribute ("ARTIST", "Artist " + juce::String (random.nextInt (5000)));
            song->setAttribute ("TITLE", "Title <" + juce::String (i) + ">");
            song->setAttribute ("ALBUM", "Album " + juce::String (random.nextInt (9000)));
            song->setAttribute ("GENRE", "House");
            song->setAttribute ("COMMENT", "\"Remastered\" edit");
            song->setAttribute ("BPM", juce::String (90.0 + random.nextFloat() * 60.0, 2));
            song->setAttribute ("KEY", "8A");
            song->setAttribute ("QUALITY", "320 kbps");
            song->setAttribute ("SAMPLERATE", 44100);
            song->setAttribute ("LENGTH", random.nextInt (600));
            song->setAttribute ("MODDATE", juce::String (132224078450000000LL + i));
            song->setAttribute ("FILESIZE", random.nextInt (20000000));
            for (int cue = 0; cue < 6; ++cue)
                song->setAttribute ("CUE" + juce::String (cue), cue < 2 ? random.nextInt (1000000) : -1);
        }
        root.writeTo (file);
    }
};

const Database& database()
{
    static Database instance;
    return instance;
}

void plainParse (benchmark::State& state)
{
    const auto& file = database().file;
    for (auto _ : state)
        benchmark::DoNotOptimize (juce::XmlDocument::parse (file));
    state.SetBytesProcessed (state.iterations() * file.getSize());
}
BENCHMARK (plainParse)->Unit (benchmark::kMillisecond)->MinTime (5.0);

void safeRead (benchmark::State& state)
{
    const auto& file = database().file;
    for (auto _ : state)
        benchmark::DoNotOptimize (readXmlFileSafely (file, { 256 << 20, 4 }));
    state.SetBytesProcessed (state.iterations() * file.getSize());
}
BENCHMARK (safeRead)->Unit (benchmark::kMillisecond)->MinTime (5.0);
}
