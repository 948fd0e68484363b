#include "WaveTestSupport.h"

#include "support/UiEvents.h"
#include "ui/waveform/WaveOverview.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr int columns = 1000;

/** Hands the overview its arrays and position at every paint, and notes seeks. */
struct OverviewListener : public WaveOverviewListener
{
    void waveOverviewItemDropped (const juce::String&, juce::Component*) override {}
    void waveOverviewFilesDropped (const juce::File&) override {}
    void waveOverviewNeedsData (WaveOverview* view) override
    {
        view->setPeakData (peaks.data(), columns);
        view->setAverageData (averages.data(), columns);
        view->setPlayPosition (position);
    }
    void waveOverviewSeek (WaveOverview*, float fraction) override { seeks.push_back (fraction); }
    void waveOverviewCueCleared (int) override {}

    PairArray peaks { columns, -0.8f, 0.8f }, averages { columns, -0.2f, 0.2f };
    float position = 0.0f;
    std::vector<float> seeks;
};

struct OverviewRig : public ViewHost
{
    explicit OverviewRig (int width = 328, int height = 56)
    {
        overview.setBounds (0, 0, width, height);
        overview.setListener (&listener);
    }

    int markerCentre (int index) { return overview.getMarker (index).getBounds().getCentreX(); }

    void drag (int x) { overview.mouseDrag (mouseEventAt (overview, { x, 20 })); }

    OverviewListener listener;
    WaveOverview overview { 0, &host };
};

// Played columns are yellow (peak) over orange (average), the rest purple over
// red; the frame only darkens the edges, so hue tells them apart.
bool isPlayedPeak (juce::Colour c) { return c.getGreen() > c.getBlue(); }
}

TEST (WaveOverview, PlayedPartTakesThePlayedColoursUpToThePlayColumn)
{
    struct Case { float position; int firstRemaining; };
    for (const auto& c : { Case { 1.0f, 327 }, Case { 0.5f, 163 }, Case { 0.0f, 0 }, Case { 3.0f, 327 } })
    {
        OverviewRig rig;
        rig.listener.position = c.position;
        const auto image = snapshotOf (rig.overview);
        // Row 40 holds only the peak line (rows 5.6..50.4), below the markers.
        for (int x = 0; x < 328; ++x)
            ASSERT_EQ (isPlayedPeak (image.getPixelAt (x, 40)), x < c.firstRemaining)
                << "position " << c.position << " column " << x;
        EXPECT_EQ (argbAt (image, 100, 30), c.firstRemaining > 100 ? 0xffffa500u : 0xffff0000u) << "average";
    }
}

TEST (WaveOverview, LocatorStandsAtThePlayColumn)
{
    OverviewRig rig;
    WaveOverview::colours.locator = juce::Colour (0xff00ff00);
    rig.overview.setLocatorLength (56);
    rig.listener.position = 0.25f;
    const auto image = snapshotOf (rig.overview);
    EXPECT_EQ (argbAt (image, 81, 28), 0xff00ff00u) << "(int) (327 x 0.25)";
    EXPECT_NE (argbAt (image, 80, 28), 0xff00ff00u);
    EXPECT_NE (argbAt (image, 82, 28), 0xff00ff00u);
}

// Without arrays, or in THRU, only the background (and outside THRU the
// locator) shows; in THRU the markers hide at the next tick.
TEST (WaveOverview, MissingDataOrThruDrawNoTrack)
{
    {
        ViewHost h;
        WaveOverview overview (0, &h.host);
        overview.setBounds (0, 0, 328, 56);
        const auto image = snapshotOf (overview);
        EXPECT_EQ (argbAt (image, 100, 40), 0xff000000u) << "no arrays";
    }
    OverviewRig rig;
    rig.engine->setThru (0, true);
    rig.overview.timerCallback();
    const auto image = snapshotOf (rig.overview);
    EXPECT_EQ (argbAt (image, 100, 40), 0xff000000u) << "THRU";
    for (int i = 0; i < WaveOverview::numCues; ++i)
        EXPECT_FALSE (rig.overview.getMarker (i).isVisible());
    rig.engine->setThru (0, false);
    rig.overview.timerCallback();
    EXPECT_TRUE (rig.overview.getMarker (3).isVisible()) << "back after THRU";
}

TEST (WaveOverview, DragsSeekToTheClampedFraction)
{
    OverviewRig rig (200);
    rig.overview.mouseDown (mouseEventAt (rig.overview, { 50, 20 }));
    EXPECT_TRUE (rig.listener.seeks.empty()) << "a plain click does not seek";
    for (int x : { 50, -30, 260, 200, 0 })
        rig.drag (x);
    EXPECT_EQ (rig.listener.seeks, (std::vector<float> { 0.25f, 0.0f, 1.0f, 1.0f, 0.0f }));
}

// Markers keep the fraction they were given; each is centred over the column
// of its fraction, and an unset one is out of sight.
TEST (WaveOverview, CueMarkersStandOverTheirFractions)
{
    OverviewRig rig;
    EXPECT_EQ (rig.overview.getCuePosition (2), 0.5f) << "markers start at quarters";
    EXPECT_EQ (rig.markerCentre (2), 163);
    EXPECT_EQ (rig.overview.getMarker (0).getHeight(), 28) << "half the overview's height";

    rig.overview.setCuePosition (1, 0.3f);
    rig.overview.setCuePosition (3, -1.0f);
    EXPECT_EQ (rig.overview.getCuePosition (1), 0.3f);
    EXPECT_EQ (rig.markerCentre (1), 98) << "(int) (327 x 0.3)";
    EXPECT_LT (rig.overview.getCuePosition (3), 0.0f);
    EXPECT_LT (rig.overview.getMarker (3).getRight(), 0) << "unset: out of sight";

    rig.overview.setSize (655, 56);
    EXPECT_EQ (rig.markerCentre (1), 196) << "placed again from the fraction";
    EXPECT_EQ (rig.overview.getCuePosition (1), 0.3f);
}

// A right click on a marker moves it away and clears its cue before the press
// reaches the dispatcher.
TEST (WaveOverview, RightClickOnAMarkerClearsItsCue)
{
    OverviewRig rig;
    auto& marker = rig.overview.getMarker (1);
    struct PressProbe : public ExComponentListener
    {
        explicit PressProbe (WaveOverview& o) : overview (o) {}
        void exComponentValueChanged (ExComponent* widget) override
        {
            if (widget->isOn())
                seen = overview.getCuePosition (1);
        }
        WaveOverview& overview;
        float seen = 2.0f;
    } probe (rig.overview);
    marker.setListener (&probe);

    marker.mouseDown (mouseEventAt (marker, { 5, 5 }, juce::ModifierKeys::rightButtonModifier));
    EXPECT_LT (probe.seen, 0.0f);
    EXPECT_LT (marker.getRight(), 0);
    rig.overview.setSize (300, 56);
    EXPECT_LT (marker.getRight(), 0) << "stays away on a resize";
    marker.setListener (nullptr);
}

// Narrow overviews: nothing divides by the width.
TEST (WaveOverview, WidthsZeroAndOneAreSafe)
{
    for (int width : { 0, 1 })
    {
        OverviewRig rig (width);
        rig.overview.setCuePosition (0, 0.7f);
        EXPECT_EQ (rig.overview.getCuePosition (0), 0.7f) << width;
        rig.listener.position = 1.0f;
        snapshotOf (rig.overview);
        rig.drag (0);
        rig.drag (5);
        EXPECT_EQ (rig.listener.seeks, (std::vector<float> { 0.0f, 1.0f })) << width;
    }
}

// A row or a file hovering over the overview brightens the whole track (both
// passes, played and remaining); leaving or dropping puts it back.
TEST (WaveOverview, AHoveringDragBrightensTheTrackUntilItLeavesOrDrops)
{
    OverviewRig rig;
    rig.listener.position = 0.5f;
    const juce::DragAndDropTarget::SourceDetails drag { "StringTableListBox", nullptr, { 10, 10 } };
    const auto brightness = [&] (int x, int y) {
        const auto c = snapshotOf (rig.overview).getPixelAt (x, y);
        return c.getRed() + c.getGreen() + c.getBlue();
    };
    // Played and remaining, peak (near the edge) and average (the middle).
    const std::vector<juce::Point<int>> spots { { 60, 10 }, { 60, 28 }, { 260, 10 }, { 260, 28 } };

    std::vector<int> normal;
    for (auto spot : spots)
        normal.push_back (brightness (spot.x, spot.y));

    rig.overview.itemDragEnter (drag);
    for (size_t i = 0; i < spots.size(); ++i)
        EXPECT_GT (brightness (spots[i].x, spots[i].y), normal[i] + 40) << "spot " << i;

    rig.overview.itemDragExit (drag);
    EXPECT_EQ (brightness (60, 10), normal[0]);
    rig.overview.itemDragEnter (drag);
    rig.overview.itemDropped (drag);
    for (size_t i = 0; i < spots.size(); ++i)
        EXPECT_EQ (brightness (spots[i].x, spots[i].y), normal[i]) << "spot " << i;
}

// A paused or empty channel's overview repaints nothing while nothing it
// shows changes; the peak file growing, the play position reaching another
// column, a hovering drag or a colour repaint it once.
TEST (WaveOverview, RepaintsOnlyWhenWhatItShowsChanges)
{
    OverviewRig rig; // 328 wide: a column is 1/327 of the track
    rig.listener.position = 0.5f;
    EXPECT_TRUE (rig.overview.pictureChanged()) << "the first look";
    for (int tick = 0; tick < 3; ++tick)
        EXPECT_FALSE (rig.overview.pictureChanged()) << "a paused channel repaints at tick " << tick;

    const juce::DragAndDropTarget::SourceDetails drag { "StringTableListBox", nullptr, { 10, 10 } };
    struct Step
    {
        const char* what;
        std::function<void()> change;
        bool shows;
    };
    const Step steps[] = {
        { "a move within the column", [&] { rig.listener.position = 0.501f; }, false },
        { "a move to the next columns", [&] { rig.listener.position = 0.51f; }, true },
        { "a peak pair built", [&] { rig.listener.peaks.set (700, -0.1f, 0.1f); }, true },
        { "an average pair built", [&] { rig.listener.averages.set (3, -0.5f, 0.5f); }, true },
        { "a drag hovering", [&] { rig.overview.itemDragEnter (drag); }, true },
        { "a colour", [&] { WaveOverview::colours.peakRemaining = juce::Colours::green; }, true },
    };
    for (const auto& step : steps)
    {
        step.change();
        EXPECT_EQ (rig.overview.pictureChanged(), step.shows) << step.what;
        EXPECT_FALSE (rig.overview.pictureChanged()) << step.what << ", looked at again";
    }
    rig.overview.itemDragExit (drag);
    WaveOverview::colours = {};
}
