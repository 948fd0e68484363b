#include "DispatcherBenchHost.h"
#include "support/AllocationCount.h"
#include "ui/widgets/LevelMeterSlider.h"

#include <benchmark/benchmark.h>

using namespace zund;

namespace
{
// A channel fader moved by the mouse: the engine's plain store, then the
// echo of the fader's value to the controller mapped to it.
void faderChangeWithEcho (benchmark::State& state)
{
    bench::DispatcherBenchHost host;
    host.midi.assignController (152, 0, 7);
    LevelMeterSlider fader;
    fader.setID (152);

    float values[128];
    for (int v = 0; v < 128; ++v)
        values[v] = (float) v / 127.0f;

    test::resetAllocationCount();
    {
        const test::CountAllocationsOnThisThread counting;
        int v = 0;
        for (auto _ : state)
        {
            fader.setValue (values[v], true);
            v = (v + 1) & 127;
        }
    }

    benchmark::DoNotOptimize (host.output.last);
    state.counters["allocations"] = (double) test::countedAllocations();
    if (test::countedAllocations() != 0)
        state.SkipWithError ("a fader change allocated");
    if (host.output.last < 0)
        state.SkipWithError ("no echo was sent");
}
}

BENCHMARK (faderChangeWithEcho);
