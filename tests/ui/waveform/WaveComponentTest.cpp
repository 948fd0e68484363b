#include "WaveTestSupport.h"

#include "support/AudioFixtures.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/waveform/WaveComponent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <functional>
#include <vector>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr int ringLength = 32768;
constexpr juce::uint32 black = 0xff000000, purple = 0xff800080, red = 0xffff0000;

struct WaveRig : public ViewHost
{
    explicit WaveRig (int width = 200, int height = 56)
    {
        view.setBounds (0, 0, width, height);
        view.setRings (peaks.data(), averages.data(), ringLength);
    }

    // The columns where something other than the background shows on a row.
    std::vector<int> litColumns (int row)
    {
        const auto image = snapshotOf (view);
        std::vector<int> lit;
        for (int x = 3; x < view.getWidth() - 3; ++x)
            if (argbAt (image, x, row) != black)
                lit.push_back (x);
        return lit;
    }

    void click (juce::ModifierKeys button) { view.mouseDown (mouseEventAt (view, { 50, 20 }, button)); }

    PairArray peaks { ringLength }, averages { ringLength };
    WaveComponent view { &host, 0 };
};
}

// One column: the peak pair spans (min + 1) x half .. (max + 1) x half, the
// average mean x half around the middle, over the background.
TEST (WaveComponent, ColumnDrawsPeakAndAverageAtTheirHeights)
{
    WaveRig rig;
    for (int i = 0; i < ringLength; ++i)
    {
        rig.peaks.set (i, 0.5f, -0.25f);
        rig.averages.set (i, 0.1f, 0.1f);
    }
    const auto image = snapshotOf (rig.view);
    // half = 28: peak rows 21..42, average rows 25.2..30.8.
    const std::vector<std::pair<int, juce::uint32>> rows { { 10, black }, { 19, black }, { 22, purple }, { 24, purple },
                                                           { 27, red },   { 29, red },   { 32, purple }, { 41, purple },
                                                           { 43, black }, { 50, black } };
    for (int x : { 10, 60, 150 })
        for (const auto& [y, colour] : rows)
            EXPECT_EQ (argbAt (image, x, y), colour) << "column " << x << " row " << y;
}

// The play position is the middle column; each column takes zoom entries
// from a whole multiple of the zoom, and the ring wraps.
TEST (WaveComponent, ZoomAndPositionPlaceAnEntryInItsColumn)
{
    struct Case { int position, entry, leftClicks, column; };
    const Case cases[] {
        { 1000, 1080, 0, 110 },            // zoom 8: (1080 - 1000) / 8 columns right of the middle
        { 1000, 1080, 1, 112 },            // zoom 7: from 994, (1080 - 994) / 7 = 12
        { 1003, 1003, 7, 100 },            // zoom 1: the entry at the position is the middle
        { 5, ringLength - 16, 0, 98 },     // behind the ring's start: it wraps
    };
    for (const auto& c : cases)
    {
        WaveRig rig;
        rig.peaks.set (c.entry, 1.0f, 0.0f);
        rig.view.setRingPosition (c.position);
        for (int i = 0; i < c.leftClicks; ++i)
            rig.click (juce::ModifierKeys::leftButtonModifier);
        EXPECT_EQ (rig.litColumns (45), std::vector<int> { c.column }) << "entry " << c.entry;
    }
}

TEST (WaveComponent, ClicksZoomWithinOneToSixteen)
{
    WaveRig rig;
    EXPECT_EQ (rig.view.getZoom(), 8);
    for (int i = 0; i < 10; ++i)
        rig.click (juce::ModifierKeys::leftButtonModifier);
    EXPECT_EQ (rig.view.getZoom(), 1) << "left zooms in, down to 1";
    for (int i = 0; i < 20; ++i)
        rig.click (juce::ModifierKeys::rightButtonModifier);
    EXPECT_EQ (rig.view.getZoom(), 16) << "right zooms out, up to 16";
}

// Without usable rings, and in THRU, nothing of a waveform is drawn; only
// THRU hides the locator too.
TEST (WaveComponent, NoRingsOrThruDrawNoWaveform)
{
    const auto savedLocator = WaveComponent::colours.locator;
    struct Case { const char* name; int length; bool thru; bool locator; };
    const Case cases[] { { "no rings", 0, false, true },
                         { "length not a power of two", 1000, false, true },
                         { "negative length", -ringLength, false, true },
                         { "THRU", ringLength, true, false } };
    for (const auto& c : cases)
    {
        WaveRig rig;
        WaveComponent::colours.locator = juce::Colour (0xff00ff00);
        for (int i = 0; i < ringLength; ++i)
            rig.peaks.set (i, 1.0f, -1.0f);
        rig.view.setRings (c.length != 0 ? rig.peaks.data() : nullptr, rig.averages.data(), c.length);
        rig.engine->setThru (0, c.thru);
        const auto image = snapshotOf (rig.view);
        EXPECT_EQ (argbAt (image, 50, 30), black) << c.name;
        EXPECT_EQ (argbAt (image, 100, 3) == 0xff00ff00, c.locator) << c.name;
    }
    WaveComponent::colours.locator = savedLocator;
}

TEST (WaveComponent, BrokenSamplesStayInsideTheView)
{
    WaveRig rig;
    for (int i = 0; i < ringLength; ++i)
    {
        rig.peaks.set (i, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN());
        rig.averages.set (i, std::numeric_limits<float>::quiet_NaN(), 0.0f);
    }
    const auto image = snapshotOf (rig.view);
    EXPECT_EQ (argbAt (image, 50, 27), black) << "no line above the middle from a NaN minimum";
    EXPECT_EQ (argbAt (image, 50, 40), purple) << "an infinite maximum reaches the bottom";
}

// The loop's columns: from the loop start to its end, counted from the
// middle column that holds the play position.
TEST (WaveComponent, LoopColumnsFollowTheLoopAroundThePlayPosition)
{
    struct Case { int zoom; juce::int64 play, start, end, from, to; };
    const Case cases[] {
        { 8, 10000, 10000, 12560, 50, 60 }, // just started: the middle on, 10 columns of 256 frames
        { 8, 11280, 10000, 12560, 45, 55 }, // five columns later
        { 8, 10007, 10000, 12560, 50, 60 }, // positions rounded down to whole zoom steps
        { 8, 90000, 10000, 12560, -262, -252 }, // long past: left of the view
    };
    for (const auto& c : cases)
    {
        const auto columns = WaveComponent::getLoopColumns (100, c.zoom, c.play, c.start, c.end);
        EXPECT_EQ (columns.getStart(), c.from) << "play " << c.play;
        EXPECT_EQ (columns.getEnd(), c.to) << "play " << c.play;
    }
}

// While the channel's loop runs, the columns it spans take the looped colours
// (yellow peak, orange average) and the others keep theirs: the loop starts
// at the play position in the middle and runs to the right.
TEST (WaveComponent, AnActiveLoopIsDrawnInTheLoopedColours)
{
    WaveRig rig;
    for (int i = 0; i < ringLength; ++i)
    {
        rig.peaks.set (i, 0.5f, -0.5f);
        rig.averages.set (i, 0.1f, 0.1f);
    }
    auto& engine = *rig.engine;
    TempFolder folder;
    const auto track = folder.file ("loop.wav");
    ASSERT_TRUE (writeAudioFile (track, FileKind::wav, 44100.0, 2, 16, 44100 * 10, sineSignal (440.0, 44100.0, 0.5f)));
    ASSERT_TRUE (engine.loadTrack (0, track, 120.0));
    engine.overrideDeckSignal (0, [] (double* speeds, float* positions, int n) {
        std::fill (speeds, speeds + n, 1.0);
        std::fill (positions, positions + n, -1000.0f);
    });
    std::vector<float> left (256), right (256);
    float* outputs[] = { left.data(), right.data() };
    const auto run = [&] (int blocks) {
        for (int b = 0; b < blocks; ++b)
            engine.processBlock (nullptr, 0, outputs, 2, 256, false);
    };
    for (int tries = 0; tries < 400 && engine.getPositionSeconds (0) < 1.5f; ++tries)
    {
        engine.timerCallback();
        run (16);
        juce::Thread::sleep (2);
    }
    ASSERT_GE (engine.getPositionSeconds (0), 1.5f) << "the track does not play";

    const juce::uint32 yellow = 0xffffff00, orange = 0xffffa500;
    auto image = snapshotOf (rig.view);
    EXPECT_EQ (argbAt (image, 150, 20), purple) << "no loop yet";

    engine.setLoopBeats (0, 1.0); // 22050 frames: 86 columns of 256 frames from the middle on
    engine.setLoopActive (0, true, false);
    run (1);
    ASSERT_TRUE (engine.isLoopActive (0));
    image = snapshotOf (rig.view);
    for (int x : { 110, 150, 180 })
    {
        EXPECT_EQ (argbAt (image, x, 20), yellow) << "column " << x;
        EXPECT_EQ (argbAt (image, x, 28), orange) << "column " << x;
    }
    for (int x : { 20, 90 })
    {
        EXPECT_EQ (argbAt (image, x, 20), purple) << "column " << x;
        EXPECT_EQ (argbAt (image, x, 28), red) << "column " << x;
    }
}

// A paused or empty channel's view repaints nothing while nothing it shows
// changes; a change of the entries in view, of the position by a whole
// column, of the zoom, the size or the colours repaints it (once more after
// a move, for what the move brought into view), then nothing again.
TEST (WaveComponent, RepaintsOnlyWhenWhatItShowsChanges)
{
    WaveRig rig; // 200 wide at zoom 8: ring entries -800 .. 799 around position 0
    auto& view = rig.view;
    EXPECT_TRUE (view.pictureChanged()) << "the first look";
    view.pictureChanged(); // and the entries in view
    for (int tick = 0; tick < 3; ++tick)
        EXPECT_FALSE (view.pictureChanged()) << "an empty channel repaints at tick " << tick;

    struct Step
    {
        const char* what;
        std::function<void()> change;
        bool shows;
    };
    const Step steps[] = {
        { "an entry in view", [&] { rig.peaks.set (100, 0.5f, -0.5f); }, true },
        { "an entry out of view", [&] { rig.peaks.set (5000, 0.5f, -0.5f); }, false },
        { "an average in view", [&] { rig.averages.set (ringLength - 3, 0.2f, 0.2f); }, true },
        { "the position within a column", [&] { view.setRingPosition (7); }, false },
        { "the position by a column", [&] { view.setRingPosition (8); }, true },
        { "a zoom", [&] { rig.click (juce::ModifierKeys::leftButtonModifier); }, true },
        { "a colour", [&] { WaveComponent::colours.peak = juce::Colours::green; }, true },
        { "the size", [&] { view.setSize (240, 56); }, true },
    };
    for (const auto& step : steps)
    {
        step.change();
        // A move is followed by one more look at the entries it brought into view.
        int repaints = 0;
        for (int look = 0; look < 3; ++look)
            repaints += view.pictureChanged() ? 1 : 0;
        if (step.shows)
            EXPECT_TRUE (repaints == 1 || repaints == 2) << step.what << ": " << repaints << " repaints";
        else
            EXPECT_EQ (repaints, 0) << step.what;
        EXPECT_FALSE (view.pictureChanged()) << step.what << ", looked at again";
    }
    WaveComponent::colours = {};
}

// A view keeps its columns between paints and draws again only those that
// scrolled into view or changed. What it shows must be what a new view
// draws whole from the same rings, pixel for pixel, after every kind of step:
// moves by whole columns either way, by less than a column, by more than the
// view, across the ring's start, changed entries in view, another zoom,
// another colour, another size.
TEST (WaveComponent, KeptColumnsShowWhatDrawingEveryColumnShows)
{
    WaveRig rig;
    juce::Random random (7);
    auto scribble = [&] (int from, int count) {
        for (int i = from; i < from + count; ++i)
        {
            const float level = random.nextFloat();
            rig.peaks.set (i & (ringLength - 1), level, -level * random.nextFloat());
            rig.averages.set (i & (ringLength - 1), level * 0.4f, level * 0.4f);
        }
    };
    scribble (0, ringLength);

    int zoomInClicks = 0, position = 5000;
    auto compareWithANewView = [&] (const char* step) {
        rig.view.setRingPosition (position);
        const auto kept = snapshotOf (rig.view);

        const auto colours = WaveComponent::colours; // a new view sets the defaults
        WaveComponent fresh { &rig.host, 0 };
        WaveComponent::colours = colours;
        fresh.setBounds (rig.view.getBounds());
        fresh.setRings (rig.peaks.data(), rig.averages.data(), ringLength);
        fresh.setRingPosition (position);
        for (int i = 0; i < zoomInClicks; ++i)
            fresh.mouseDown (mouseEventAt (fresh, { 50, 20 }, juce::ModifierKeys::leftButtonModifier));
        const auto whole = snapshotOf (fresh);

        ASSERT_EQ (kept.getBounds(), whole.getBounds()) << step;
        int differing = 0;
        for (int y = 0; y < whole.getHeight(); ++y)
            for (int x = 0; x < whole.getWidth(); ++x)
                differing += argbAt (kept, x, y) != argbAt (whole, x, y) ? 1 : 0;
        EXPECT_EQ (differing, 0) << step << ": pixels that differ";
    };

    compareWithANewView ("the first paint");
    const struct
    {
        const char* what;
        std::function<void()> change;
    } steps[] = {
        { "three columns on", [&] { position += 3 * 8; } },
        { "one entry on, within a column", [&] { position += 1; } },
        { "five columns back", [&] { position -= 5 * 8; } },
        { "further than the view is wide", [&] { position += 300 * 8; } },
        { "entries in view changed", [&] { scribble (position - 40, 60); } },
        { "moved and changed together", [&] { position += 2 * 8; scribble (position, 8); } },
        { "across the ring's start", [&] { position = ringLength - 10; } },
        { "on across it", [&] { position += 40; } },
        { "zoomed in", [&] { ++zoomInClicks; rig.click (juce::ModifierKeys::leftButtonModifier); } },
        { "a column on at zoom 7", [&] { position += 7; } },
        { "another peak colour", [&] { WaveComponent::colours.peak = juce::Colours::green; } },
        { "a see-through average colour", [&] { WaveComponent::colours.average = juce::Colour (0x80ffffff); } },
        { "narrower", [&] { rig.view.setSize (150, 56); } },
        { "taller, then on", [&] { rig.view.setSize (150, 70); position += 16; } },
    };
    for (const auto& step : steps)
    {
        step.change();
        compareWithANewView (step.what);
    }
    WaveComponent::colours = {};
}
