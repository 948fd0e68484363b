#include "engine/recorder/Audio2DiskRecorder.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <vector>

using namespace zund;

namespace
{
constexpr int chunk = 256;
constexpr int chunksPerTake = 500; // 128,000 frames: less than the ring holds, so nothing is dropped

// The audio thread's side of a recording: 256-frame chunks of a sine with the
// gate open, while the recorder's thread writes to disk. Each iteration is one
// fresh take, so every frame is converted and stored, none dropped.
void feedWhileRecording (benchmark::State& state)
{
    const int bits = (int) state.range (0);
    test::TempFolder temp;
    const auto path = temp.file ("bench.wav").getFullPathName();

    std::vector<float> left (chunk * 16), right (chunk * 16);
    for (size_t i = 0; i < left.size(); ++i)
    {
        left[i] = 0.8f * std::sin (0.05f * (float) (i + 1));
        right[i] = -left[i];
    }

    Audio2DiskRecorder recorder;
    for (auto _ : state)
    {
        state.PauseTiming();
        recorder.start (path, bits);
        state.ResumeTiming();

        for (int c = 0; c < chunksPerTake; ++c)
        {
            const auto offset = (size_t) (c % 16) * chunk;
            recorder.feed (left.data() + offset, right.data() + offset, chunk);
        }
        benchmark::ClobberMemory();

        state.PauseTiming();
        recorder.stop();
        state.ResumeTiming();
    }

    const auto frames = (double) state.iterations() * chunk * chunksPerTake;
    state.SetItemsProcessed ((juce::int64) frames);
    state.counters["time_per_frame"] = benchmark::Counter (frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK (feedWhileRecording)->Arg (16)->Arg (32)->Unit (benchmark::kMicrosecond);
}
