#include "ui/channel/ChannelContainer.h"
#include "ui/waveform/WaveTestSupport.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

using namespace zund;

namespace
{
constexpr int ringPairs = 32768, peakColumns = 1000;

/** A busy track: every ring entry and overview column a different level. */
void fillWithMusic (test::PairArray& peaks, test::PairArray& averages)
{
    juce::Random random (42);
    for (int i = 0; i < peaks.pairs; ++i)
    {
        const float level = random.nextFloat();
        peaks.set (i, level, -level * random.nextFloat());
        averages.set (i, level * 0.3f, -level * 0.3f);
    }
}

/** The mixer at 1920 x 1080 with its four channel strips side by side, in an
    opaque window that, like the main component, keeps no image of its own
    (the strips' panels keep theirs). */
struct Mixer : public test::ViewHost
{
    Mixer()
    {
        fillWithMusic (rings, ringAverages);
        fillWithMusic (peaks, averages);
        host.peakRing = rings.data();
        host.averageRing = ringAverages.data();
        host.peakData = peaks.data();
        host.averageData = averages.data();
        for (int c = 0; c < 4; ++c)
            engine->setPlaying (c, false);

        window.setBounds (0, 0, 1920, 1080);
        window.setOpaque (true);
        window.addAndMakeVisible (strips);
        strips.setSectionVisible (2, true);
        strips.setSectionVisible (3, true);
        strips.setBounds (0, 0, 1920, strips.getHeightForWidth (1920));
        for (int c = 0; c < 4; ++c)
        {
            auto& display = strips.getChannel (c)->getWaveDisplay();
            display.setTrackTitle ("A title far too long for the strip, so that it scrolls along all the time.mp3");
            display.timerCallback();
            displays[(size_t) c] = &display;
        }
        paint (window.getLocalBounds());
    }

    // What the views' timers do in one tick, then the window paints the
    // regions they marked, as the window's peer would.
    void tick (bool withOverviews)
    {
        juce::RectangleList<int> dirty;
        for (auto* display : displays)
        {
            auto& wave = display->getWaveComponent();
            wave.repaint();
            dirty.add (window.getLocalArea (&wave, wave.getLocalBounds()));
            if (withOverviews)
            {
                auto& overview = display->getOverview();
                display->timerCallback();
                overview.timerCallback();
                dirty.add (window.getLocalArea (&overview, overview.getLocalBounds()));
            }
        }
        paint (dirty);
    }

    void paint (const juce::RectangleList<int>& region)
    {
        juce::Graphics g (screen);
        g.reduceClipRegion (region);
        window.paintEntireComponent (g, true);
    }

    test::PairArray rings { ringPairs }, ringAverages { ringPairs }, peaks { peakColumns }, averages { peakColumns };
    juce::Component window;
    ChannelContainer strips { &host };
    std::array<WaveDisplay*, 4> displays {};
    juce::Image screen { juce::Image::RGB, 1920, 1080, true };
};

// One 20 ms tick: the four scrolling waveforms; every fifth tick (100 ms) also
// the four overviews and their labels. The goal is under 4 ms for either.
void waveformTick (benchmark::State& state)
{
    Mixer mixer;
    const bool withOverviews = state.range (0) != 0;
    for (auto _ : state)
        mixer.tick (withOverviews);
}
BENCHMARK (waveformTick)->ArgName ("overviews")->Arg (0)->Arg (1)->Unit (benchmark::kMicrosecond);

// One 20 ms tick while the four channels play at speed 1: each scrolling
// waveform moves on by 882 frames (27 or 28 ring entries, three or four
// columns at zoom 8) and repaints what it shows, as in the four-deck run.
// With keptColumns 0 the background is made a shade short of opaque, which
// makes the views draw every column anew, as they all did before.
void scrollingWaveformTick (benchmark::State& state)
{
    Mixer mixer;
    if (state.range (0) == 0)
        WaveComponent::colours.background = juce::Colour (0xfe000000);
    double seconds = 10.0;
    for (auto _ : state)
    {
        seconds += 0.02;
        for (int c = 0; c < 4; ++c)
            mixer.engine->setPositionSeconds (c, (float) seconds);
        mixer.engine->processBlock (nullptr, 0, nullptr, 0, 1, false); // takes the seeks
        mixer.tick (false);
    }
    WaveComponent::colours = {};
}
BENCHMARK (scrollingWaveformTick)->ArgName ("keptColumns")->Arg (0)->Arg (1)->Unit (benchmark::kMicrosecond);
}

namespace
{
// One 20 ms tick of the four waveform views of paused channels: each looks
// whether its picture changed (it did not) and paints nothing. The cost of
// an idle mixer's waveforms; compare with waveformTick.
void pausedWaveformLook (benchmark::State& state)
{
    Mixer mixer;
    for (auto* display : mixer.displays)
        display->getWaveComponent().pictureChanged();
    for (auto _ : state)
        for (auto* display : mixer.displays)
            benchmark::DoNotOptimize (display->getWaveComponent().pictureChanged());
}
BENCHMARK (pausedWaveformLook)->Unit (benchmark::kMicrosecond);
}
