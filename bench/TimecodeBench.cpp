#include "engine/timecode/TimecodeDecoder.h"
#include "support/TimecodeSignal.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <vector>

using namespace zund;

namespace
{
constexpr int numDecks = 4;
constexpr int chunk = 256;

// Four decks decoding in 256-sample chunks, as the engine calls them.
void fourDecks (benchmark::State& state)
{
    const int rate = (int) state.range (0);
    const int length = (rate / chunk) * chunk; // about a second per deck, looped

    std::array<std::vector<float>, numDecks> left, right;
    std::array<TimecodeDecoder, numDecks> decoders;
    for (int d = 0; d < numDecks; ++d)
    {
        test::TimecodeSignal signal (rate);
        signal.setPosition (60.0 * (d + 1));
        signal.setSpeed (d % 2 == 0 ? 1.0 : -1.08);
        left[(size_t) d].resize ((size_t) length);
        right[(size_t) d].resize ((size_t) length);
        signal.render (left[(size_t) d].data(), right[(size_t) d].data(), length);
        decoders[(size_t) d].setSampleRate (rate);
    }

    double speed[chunk];
    float position[chunk];
    int offset = 0;
    for (auto _ : state)
    {
        for (int d = 0; d < numDecks; ++d)
        {
            decoders[(size_t) d].process (left[(size_t) d].data() + offset, right[(size_t) d].data() + offset,
                                          speed, position, chunk);
            benchmark::DoNotOptimize (speed);
            benchmark::DoNotOptimize (position);
        }
        offset = (offset + chunk) % length;
    }

    // Time per input sample of one deck, and the share of one core that
    // four decks take in real time.
    state.counters["perSample"] = benchmark::Counter ((double) (numDecks * chunk),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["coreShare"] = benchmark::Counter ((double) chunk / rate,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK (fourDecks)->Arg (44100)->Arg (48000)->Arg (96000);
}
