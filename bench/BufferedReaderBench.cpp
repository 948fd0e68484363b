#include "audiofile/BufferedAudioReader.h"
#include "support/AudioFixtures.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

using namespace zund;

namespace
{
void waitForFrame (BufferedAudioReader& reader, juce::int64 frame)
{
    while (! reader.isFrameCached (frame))
        juce::Thread::sleep (1);
}

// One interpolated read per output frame on the audio thread.
void interpolatedRead (benchmark::State& state)
{
    test::TempFolder temp;
    const auto file = temp.file ("ramp.wav");
    test::writeIndexRampWav (file, 44100.0, 2, 16, 44100 * 10);
    BufferedAudioReader reader;
    reader.load (file.getFullPathName());
    waitForFrame (reader, 1000);

    double position = 1000.0;
    float l = 0, r = 0;
    for (auto _ : state)
    {
        reader.read (position, l, r);
        benchmark::DoNotOptimize (l);
        benchmark::DoNotOptimize (r);
        position += 0.37;
        if (position > 200000.0)
            position = 1000.0;
    }
    state.SetItemsProcessed (state.iterations());
}
BENCHMARK (interpolatedRead);

// Filling one 262,144-frame block: the time from load until the first block is ready.
void fillFirstBlock (benchmark::State& state, test::FileKind kind, const char* name)
{
    test::TempFolder temp;
    const auto file = temp.file (name);
    test::writeAudioFile (file, kind, 44100.0, 2, 16, BufferedAudioReader::blockSize * 2,
                          test::sineSignal (440.0, 44100.0, 0.5f));
    for (auto _ : state)
    {
        BufferedAudioReader reader;
        reader.load (file.getFullPathName());
        waitForFrame (reader, 0);
    }
}
BENCHMARK_CAPTURE (fillFirstBlock, wav, test::FileKind::wav, "block.wav")->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (fillFirstBlock, ogg, test::FileKind::ogg, "block.ogg")->Unit (benchmark::kMillisecond);
}
