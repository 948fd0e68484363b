#include "app/main/MainComponent.h"
#include "library/tasks/DatabaseTaskWindow.h"
#include "support/AllocationCount.h"
#include "support/TempFolder.h"
#include "ui/panels/ControlIds.h"
#include "ui/widgets/ExComponent.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

using namespace zund;

namespace
{
juce::MidiMessage controller7 (int value)
{
    return juce::MidiMessage::controllerEvent (1, 7, value);
}

// One controller message from a MIDI input thread through the whole program:
// the main component (which flashes the MIDI lamp), the mapping, the main
// component's glue, the control widget (value and dirty flag), the control
// dispatcher and the engine's setter. The control is learned as a user does
// it: LEARN on, a click on the control, the controller moved. Between batches
// the message thread serves the lamp and the repaint tick, as it does while
// a controller is played.
void midiControllerThroughTheProgram (benchmark::State& state)
{
    DatabaseTaskWindow::setWindowsShown (false); // no display: the start-up check runs in place
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    const int id = (int) state.range (0);
    main.setLearnMode (true);
    main.learnFromMouseDown (id);
    main.handleIncomingMidiMessage (nullptr, controller7 (0));
    main.setLearnMode (false);
    auto* widget = ExComponent::getComponentByID (id);
    if (widget == nullptr)
    {
        state.SkipWithError ("no control with that id");
        return;
    }

    juce::MidiMessage messages[128];
    for (int v = 0; v < 128; ++v)
        messages[v] = controller7 (v);

    constexpr int batch = 1000;
    test::resetAllocationCount();
    int v = 0;
    for (auto _ : state)
    {
        double seconds = 0.0;
        std::thread midiInput ([&] {
            const test::CountAllocationsOnThisThread counting;
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < batch; ++i)
            {
                main.handleIncomingMidiMessage (nullptr, messages[v]);
                v = (v + 1) & 127;
            }
            seconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
        });
        midiInput.join();
        state.SetIterationTime (seconds);

        const bool arrived = widget->isDirty() && widget->getValue() == (float) ((v + 127) & 127) / 127.0f;
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        if (! arrived)
        {
            state.SkipWithError ("the last message did not reach the control");
            break;
        }
    }
    state.counters["seconds_per_message"] = benchmark::Counter (
        batch, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["allocations"] = (double) test::countedAllocations();
    if (test::countedAllocations() != 0)
        state.SkipWithError ("the MIDI path allocated");
}
}

// Channel 2's fader (a plain store), its EQ LOW knob (the engine lock, EQ
// coefficients) and its PLAY toggle.
BENCHMARK (midiControllerThroughTheProgram)
    ->ArgName ("control")
    ->Arg (ControlIds::of (1, ControlIds::fader))
    ->Arg (ControlIds::of (1, ControlIds::eqLow))
    ->Arg (ControlIds::of (1, ControlIds::play))
    ->UseManualTime();
