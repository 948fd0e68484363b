#include "ui/waveform/ScrollTextComponent.h"

#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <optional>

using namespace zund;
using zund::test::snapshotOf;

namespace
{
const juce::String longTitle = "  A rather long track title that cannot fit.mp3 ";

bool samePixels (const juce::Image& a, const juce::Image& b, int shift = 0)
{
    // b equals a moved left by shift pixels (over the columns both show).
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x + shift < a.getWidth(); ++x)
            if (a.getPixelAt (x + shift, y) != b.getPixelAt (x, y))
                return false;
    return true;
}

// Columns that hold text (brighter than the grey background).
juce::Range<int> textColumns (const juce::Image& image)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.getWidth(); ++x)
        for (int y = 0; y < image.getHeight(); ++y)
            if (image.getPixelAt (x, y).getBrightness() > 0.7f)
            {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return { first, last + 1 };
}

struct ScrollRig
{
    ScrollTextComponent view;

    explicit ScrollRig (const juce::String& text, int width = 160, int height = 20)
    {
        view.stopTimer();
        view.setBounds (0, 0, width, height);
        view.setText (text);
    }

    juce::Image frameAfterTicks (int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            view.timerCallback();
        return snapshotOf (view);
    }
};
}

TEST (ScrollTextComponent, longTitleMovesOnePixelPerTickAndRepeatsSeamlessly)
{
    ScrollRig rig (longTitle);
    ASSERT_TRUE (rig.view.isVisible());

    juce::Font font;
    font.setBold (true);
    font.setHeight (18.0f);
    const int copyWidth = juce::roundToInt (font.getStringWidthFloat ("  " + longTitle));

    const auto first = rig.frameAfterTicks (0);
    auto previous = first;
    std::optional<int> period;
    for (int tick = 1; tick <= copyWidth + 10; ++tick)
    {
        const auto frame = rig.frameAfterTicks (1);
        ASSERT_TRUE (samePixels (previous, frame, 1)) << "tick " << tick << " is not a one-pixel step";
        if (! period && samePixels (first, frame))
            period = tick;
        previous = frame;
    }

    ASSERT_TRUE (period.has_value()) << "the text never came round again";
    EXPECT_NEAR (*period, copyWidth, 1) << "copies follow each other two blanks apart";
}

TEST (ScrollTextComponent, shortTitleIsCentredAndStandsStill)
{
    ScrollRig rig ("Intro", 200);
    const auto first = rig.frameAfterTicks (0);
    const auto later = rig.frameAfterTicks (37);
    EXPECT_TRUE (samePixels (first, later));

    const auto columns = textColumns (first);
    ASSERT_FALSE (columns.isEmpty());
    EXPECT_NEAR (columns.getStart(), 200 - columns.getEnd(), 3);
}

TEST (ScrollTextComponent, pausedTextStandsStillAndResumesWhereItStopped)
{
    ScrollRig rig (longTitle);
    rig.frameAfterTicks (5);
    rig.view.setPaused (true);
    const auto stopped = rig.frameAfterTicks (0);
    EXPECT_TRUE (samePixels (stopped, rig.frameAfterTicks (20)));

    rig.view.setPaused (false);
    EXPECT_TRUE (samePixels (stopped, rig.frameAfterTicks (1), 1));
}

TEST (ScrollTextComponent, sameTextKeepsItsPlaceEmptyTextHidesColoursRenderAgain)
{
    ScrollRig rig (longTitle);
    const auto moved = rig.frameAfterTicks (9);
    rig.view.setText (longTitle);
    EXPECT_TRUE (samePixels (moved, rig.frameAfterTicks (0)));

    rig.view.setColours (juce::Colours::black, juce::Colours::black, juce::Colours::red);
    const auto red = rig.frameAfterTicks (0);
    bool hasRed = false;
    for (int x = 0; x < red.getWidth() && ! hasRed; ++x)
        for (int y = 0; y < red.getHeight() && ! hasRed; ++y)
            hasRed = red.getPixelAt (x, y).getRed() > 200 && red.getPixelAt (x, y).getGreen() < 50;
    EXPECT_TRUE (hasRed);

    rig.view.setText ({});
    EXPECT_FALSE (rig.view.isVisible());
    EXPECT_TRUE (rig.view.getText().isEmpty());
}

TEST (ScrollTextComponent, pressesGoToTheParent)
{
    struct Parent : juce::Component
    {
        std::optional<juce::Point<int>> pressedAt;
        void mouseDown (const juce::MouseEvent& e) override { pressedAt = e.getPosition(); }
    } parent;
    ScrollTextComponent title;
    parent.setBounds (0, 0, 300, 100);
    parent.addAndMakeVisible (title);
    title.setBounds (6, 74, 288, 20);

    title.mouseDown (test::mouseEventAt (title, { 10, 5 }));
    ASSERT_TRUE (parent.pressedAt.has_value());
    EXPECT_EQ (*parent.pressedAt, juce::Point<int> (16, 79));
}

// A text that fits never moves, so it takes no ticks at all (an idle mixer
// shows four titles); a text too long scrolls, and stops when it fits again.
TEST (ScrollTextComponent, OnlyATextTooLongTicks)
{
    ScrollTextComponent view;
    view.setBounds (0, 0, 160, 20);
    view.setText ("Short");
    EXPECT_FALSE (view.isTimerRunning());
    view.setText ("A title far too long to fit into a hundred and sixty pixels at this height");
    EXPECT_TRUE (view.isTimerRunning());
    view.setText ("Short again");
    EXPECT_FALSE (view.isTimerRunning());
}
