#include "engine/Engine.h"
#include "ui/midi/MidiControlSurfaceManager.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

using namespace zund;

namespace
{
std::atomic<long> allocations { 0 };
}

// Counts every allocation of this program: the MIDI path must make none.
void* operator new (std::size_t size)
{
    allocations.fetch_add (1, std::memory_order_relaxed);
    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete (void* p) noexcept
{
    std::free (p);
}

void operator delete (void* p, std::size_t) noexcept
{
    std::free (p);
}

namespace
{
/** What the main component does with a mapped controller, short of the widget:
    the engine setter, then the dirty flag for the repaint tick. */
struct FaderListener : public MidiControlSurfaceManagerListener
{
    explicit FaderListener (Engine& e) : engine (e) {}

    void controllerMoved (int id, int value) override
    {
        engine.setChannelFader (id / 100, (float) value / 127.0f);
        dirty.store (true, std::memory_order_relaxed);
    }
    void controllerTriggered (int) override {}
    void controllerLearned (int) override {}

    Engine& engine;
    std::atomic<bool> dirty { false };
};

void incomingController (benchmark::State& state)
{
    auto engine = std::make_unique<Engine>();
    MidiControlSurfaceManager mapping;
    FaderListener listener (*engine);
    mapping.setListener (&listener);
    mapping.assignController (152, 0, 7); // CC 7 on MIDI channel 1: channel 2's fader

    juce::MidiMessage messages[128];
    for (int v = 0; v < 128; ++v)
        messages[v] = juce::MidiMessage::controllerEvent (1, 7, v);

    const auto before = allocations.load();
    int v = 0;
    for (auto _ : state)
    {
        mapping.handleIncomingMidiMessage (messages[v]);
        v = (v + 1) & 127;
    }
    const auto made = allocations.load() - before;

    benchmark::DoNotOptimize (listener.dirty.load());
    state.counters["allocations"] = (double) made;
    if (made != 0)
        state.SkipWithError ("the MIDI path allocated");
    mapping.setListener (nullptr);
}
}

BENCHMARK (incomingController);
