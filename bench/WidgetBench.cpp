#include "DispatcherBenchHost.h"
#include "support/AllocationCount.h"
#include "ui/panels/ControlIds.h"
#include "ui/widgets/ExComponentTimer.h"
#include "ui/widgets/KelButton.h"
#include "ui/widgets/KelCrossfader.h"
#include "ui/widgets/KelKnob.h"
#include "ui/widgets/KelToggleButton.h"
#include "ui/widgets/LevelMeterSlider.h"
#include "ui/widgets/SelectorGrid.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace zund;

namespace
{
std::unique_ptr<ExComponent> makeControl (int kind)
{
    switch (kind)
    {
        case 0: return std::make_unique<KelKnob>();
        case 1: return std::make_unique<KelToggleButton> (nullptr);
        default:
        {
            auto grid = std::make_unique<SelectorGrid> (0, nullptr);
            grid->setRows (1);
            grid->setColumns (5);
            return grid;
        }
    }
}

// A mapped controller moving a knob, a toggle or a grid: setValue with
// notification and the real dispatcher's bookkeeping, for a control that the
// dispatcher only echoes (the effect's CLOCK, which its panel reads), so no
// engine setter is timed here. On a thread of its own that applies MIDI, per call.
void setValueFromMidiThread (benchmark::State& state)
{
    bench::DispatcherBenchHost host;
    host.midi.assignController (ControlIds::effectClock, 0, 7);
    auto widget = makeControl ((int) state.range (0));
    widget->setID (ControlIds::effectClock);

    constexpr int batch = 10000;
    test::resetAllocationCount();
    for (auto _ : state)
    {
        double seconds = 0.0;
        std::thread midi ([&] {
            const ControlDispatcher::ScopedValueFromMidi fromMidi;
            const test::CountAllocationsOnThisThread counting;
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < batch; ++i)
                widget->setValue ((float) (i & 127) / 127.0f, true);
            seconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
        });
        midi.join();
        state.SetIterationTime (seconds);
    }
    state.counters["seconds_per_call"] = benchmark::Counter (
        batch, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["allocations"] = (double) test::countedAllocations();
    if (test::countedAllocations() > 0)
        state.SkipWithError ("setValue allocated");
}
BENCHMARK (setValueFromMidiThread)->ArgName ("knob_toggle_grid")->DenseRange (0, 2)->UseManualTime();

/** The mixer's smallest window, 1022 x 730, filled with 200 widgets of every
    kind, buffered to an image as the main component is. */
class WidgetWall : public juce::Component
{
public:
    static constexpr int columns = 20, rows = 10;

    WidgetWall()
    {
        setBounds (0, 0, 1022, 730);
        setOpaque (true);
        setBufferedToImage (true);
        const int cellW = getWidth() / columns, cellH = getHeight() / rows;
        for (int i = 0; i < columns * rows; ++i)
        {
            auto widget = makeWidget (i % 7);
            widget->setBounds ((i % columns) * cellW + 2, (i / columns) * cellH + 2, cellW - 4, cellH - 4);
            addAndMakeVisible (*widget);
            widgets.push_back (std::move (widget));
        }
    }

    void paint (juce::Graphics& g) override { g.fillAll (juce::Colour (0xffababab)); }

    // Some widgets change, spread over the window, as a busy mix makes them in one tick.
    void change (int count, int tick)
    {
        for (size_t i = 0; count > 0 && i < widgets.size(); i += widgets.size() / (size_t) count)
        {
            const float v = (float) ((tick + (int) i) % 100) / 100.0f;
            if (auto* meter = dynamic_cast<LevelMeterSlider*> (widgets[i].get()))
                meter->setLevels (v, v, v, v);
            else
                widgets[i]->setValue (v, false);
        }
    }

private:
    static std::unique_ptr<ExComponent> makeWidget (int kind)
    {
        switch (kind)
        {
            case 0: return std::make_unique<KelKnob>();
            case 1: return std::make_unique<LevelMeterSlider>();
            case 2: return std::make_unique<KelCrossfader>();
            case 3:
            {
                auto toggle = std::make_unique<KelToggleButton> (nullptr);
                toggle->setTexts ("PLAY", "PAUSE");
                return toggle;
            }
            case 4:
            {
                auto button = std::make_unique<KelButton> (0, nullptr);
                button->setTexts ("TAP", {});
                return button;
            }
            default:
            {
                auto grid = std::make_unique<SelectorGrid> (0, nullptr);
                grid->setRows (2);
                grid->setColumns (2);
                grid->setCellTexts ({ "1/2", "1/4", "1/8", "1/16" });
                grid->setTextStyle (10.0f, juce::Font::bold);
                return grid;
            }
        }
    }

    std::vector<std::unique_ptr<ExComponent>> widgets;
};

// One repaint tick: the dirty widgets are repainted into the window's cached
// image, which is then drawn whole into the window-sized image.
void repaintTick (benchmark::State& state)
{
    juce::Component window;
    window.setBounds (0, 0, 1022, 730);
    WidgetWall wall;
    window.addAndMakeVisible (wall);
    juce::Image screen (juce::Image::RGB, window.getWidth(), window.getHeight(), true);
    {
        juce::Graphics g (screen);
        window.paintEntireComponent (g, true); // the first paint fills the cache
    }

    int tick = 0;
    for (auto _ : state)
    {
        wall.change ((int) state.range (0), ++tick);
        ExComponentTimer::repaintDirtyWidgets();
        juce::Graphics g (screen);
        window.paintEntireComponent (g, true);
    }
}
// 20 dirty widgets is the goal's case; none shows the cost of drawing the window's image alone.
BENCHMARK (repaintTick)->ArgName ("dirty")->Arg (20)->Arg (0)->Unit (benchmark::kMicrosecond);
}
