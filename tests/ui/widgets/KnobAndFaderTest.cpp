#include "WidgetTestSupport.h"
#include "ui/widgets/ExComponentTimer.h"
#include "ui/widgets/KelCrossfader.h"
#include "ui/widgets/KelKnob.h"
#include "ui/widgets/LevelMeterSlider.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
const juce::ModifierKeys noKeys;
const juce::ModifierKeys ctrl (juce::ModifierKeys::ctrlModifier);

// A strip whose frame k is filled with the red level k, so a pixel names its frame.
juce::Image numberedStrip (int frames, int width, int frameHeight)
{
    juce::Image strip (juce::Image::ARGB, width, frames * frameHeight, true);
    juce::Graphics g (strip);
    for (int k = 0; k < frames; ++k)
    {
        g.setColour (juce::Colour ((juce::uint8) k, 0, 0));
        g.fillRect (0, k * frameHeight, width, frameHeight);
    }
    return strip;
}

struct ClearFilmStripAfterwards
{
    ~ClearFilmStripAfterwards() { KelKnob::setFilmStrip ({}, 0); }
};

bool isYellowish (juce::Colour c)
{
    return c.getRed() > 200 && c.getGreen() > 200 && c.getBlue() < 60;
}
}

TEST (KelKnobValue, ValuesAreLimitedNaNTakesTheDefaultAndOnlyChangesMarkDirty)
{
    RecordingListener listener;
    KelKnob knob;
    knob.setListener (&listener);
    knob.setDefaultValue (0.6f);

    struct Case { float in, stored; };
    for (auto c : { Case { 1.7f, 1.0f }, Case { -0.2f, 0.0f }, Case { 0.3f, 0.3f }, Case { notANumber, 0.6f } })
    {
        knob.setValue (c.in, false);
        EXPECT_EQ (knob.getValue(), c.stored) << c.in;
    }

    ExComponentTimer::repaintDirtyWidgets();
    knob.setValue (0.6f, true); // the same value again: heard, not redrawn
    EXPECT_EQ (listener.values, std::vector<float> { 0.6f });
    EXPECT_FALSE (knob.isDirty());
}

TEST (KelKnobDrag, DragsFollowTheDistanceAndShiftMakesThemFiner)
{
    struct Case { bool crossfader; float start; juce::Point<int> move; bool shift; float expected; };
    const Case cases[] = {
        { false, 0.25f, { 0, -90 }, false, 0.75f }, // 90 pixels up: half the range
        { false, 0.25f, { 0, -90 }, true, 0.35f },  // the same with Shift: a fifth of that
        { false, 0.25f, { 0, 90 }, false, 0.0f },   // limited at the bottom
        { true, 0.5f, { 45, 0 }, false, 0.75f },    // a fader moves sideways
        { true, 0.5f, { -45, 0 }, true, 0.45f },
    };
    for (const auto& c : cases)
    {
        RecordingListener listener;
        std::unique_ptr<KelKnob> knob;
        if (c.crossfader)
        {
            knob = std::make_unique<KelCrossfader>();
            knob->setBounds (0, 0, 200, 20);
        }
        else
        {
            knob = std::make_unique<KelKnob>();
            knob->setBounds (0, 0, 40, 40);
        }
        knob->setListener (&listener);
        knob->setValue (c.start, false);

        const auto mods = c.shift ? juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier
                                                         | juce::ModifierKeys::shiftModifier)
                                  : juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
        const juce::Point<int> from { 20, 10 };
        knob->mouseDown (mouseEventAt (*knob, from, mods));
        knob->mouseDrag (mouseEventAt (*knob, from + c.move, mods));
        knob->mouseUp (mouseEventAt (*knob, from + c.move, mods));

        EXPECT_NEAR (knob->getValue(), c.expected, 1e-5f) << c.move.toString() << " shift " << c.shift;
        ASSERT_EQ (listener.values.size(), 1u);
        EXPECT_EQ (listener.values[0], knob->getValue());
    }
}

TEST (KelKnobDrag, PixelsPerRangeOfZeroMeansTheUsualRange)
{
    KelKnob knob;
    knob.setBounds (0, 0, 40, 40);
    knob.setPixelsPerRange (300.0f);
    knob.setPixelsPerRange (0.0f);
    knob.mouseDown (mouseEventAt (knob, { 20, 20 }));
    knob.mouseDrag (mouseEventAt (knob, { 20, 20 - 36 }));
    knob.mouseUp (mouseEventAt (knob, { 20, -16 }));
    EXPECT_NEAR (knob.getValue(), 0.2f, 1e-5f); // 36 of 180 pixels
}

TEST (KelKnobDrag, CtrlResetsToTheDefaultOncePerPressAndFreezesTheDrag)
{
    ScopedModifiers keys (noKeys);
    RecordingListener listener;
    KelKnob knob;
    knob.setBounds (0, 0, 40, 40);
    knob.setListener (&listener);
    knob.setDefaultValue (0.5f);
    knob.setValue (0.1f, false);

    knob.mouseDown (mouseEventAt (knob, { 20, 20 }));
    knob.mouseDrag (mouseEventAt (knob, { 20, 2 })); // 18 px: 0.2
    EXPECT_NEAR (knob.getValue(), 0.2f, 1e-5f);

    keys.set (ctrl);
    pumpMessages (60);
    EXPECT_EQ (knob.getValue(), 0.5f);
    knob.mouseDrag (mouseEventAt (knob, { 20, -40 })); // frozen while Ctrl is held
    EXPECT_EQ (knob.getValue(), 0.5f);

    knob.setValue (0.9f, false); // still the same press: no second reset
    pumpMessages (60);
    EXPECT_EQ (knob.getValue(), 0.9f);

    keys.set (noKeys);
    pumpMessages (60);
    knob.mouseDrag (mouseEventAt (knob, { 20, -58 })); // the drag goes on: 18 px up
    EXPECT_NEAR (knob.getValue(), 1.0f, 1e-5f);

    keys.set (ctrl); // a new press resets again
    pumpMessages (60);
    EXPECT_EQ (knob.getValue(), 0.5f);
    knob.mouseUp (mouseEventAt (knob, { 20, -58 }));

    // After the button is up Ctrl does nothing.
    knob.setValue (0.8f, false);
    keys.set (noKeys);
    pumpMessages (60);
    keys.set (ctrl);
    pumpMessages (60);
    EXPECT_EQ (knob.getValue(), 0.8f);

    const std::vector<float> heard { 0.2f, 0.5f, 1.0f, 0.5f };
    ASSERT_EQ (listener.values.size(), heard.size());
    for (size_t i = 0; i < heard.size(); ++i)
        EXPECT_NEAR (listener.values[i], heard[i], 1e-5f) << i;
}

TEST (KelKnobDrag, ADisabledKnobIgnoresTheMouse)
{
    RecordingListener listener;
    KelKnob knob;
    knob.setBounds (0, 0, 40, 40);
    knob.setListener (&listener);
    knob.setValue (0.3f, false);
    knob.setKnobEnabled (false);
    knob.mouseDown (mouseEventAt (knob, { 20, 20 }));
    knob.mouseDrag (mouseEventAt (knob, { 20, -60 }));
    knob.mouseUp (mouseEventAt (knob, { 20, -60 }));
    EXPECT_EQ (knob.getValue(), 0.3f);
    EXPECT_EQ (listener.mouseDowns + (int) listener.values.size(), 0);
}

TEST (KelKnobLook, TheFilmStripShowsTheFrameOfTheValue)
{
    ClearFilmStripAfterwards clear;
    KelKnob knob;
    knob.setBounds (0, 0, 12, 12);
    KelKnob::setFilmStrip (numberedStrip (255, 12, 12), 255);

    struct Case { float value; int frame; };
    for (auto c : { Case { 1.0f, 254 }, Case { 0.5f, 127 }, Case { 0.0f, 0 }, Case { 0.999f, 253 } })
    {
        knob.setValue (c.value, false);
        const auto image = snapshotOf (knob);
        EXPECT_EQ (image.getPixelAt (6, 6).getRed(), c.frame) << c.value;
        EXPECT_EQ (image.getPixelAt (6, 6).getAlpha(), 255);
    }

    knob.setKnobEnabled (false); // half opacity
    EXPECT_NEAR (snapshotOf (knob).getPixelAt (6, 6).getAlpha(), 128, 2);
}

TEST (KelKnobLook, WithoutAUsableStripTheKnobDrawsItsVectorForm)
{
    ClearFilmStripAfterwards clear;
    KelKnob knob;
    knob.setBounds (0, 0, 40, 40);
    knob.setValue (0.0f, false);

    // The strip is unusable when it is shorter than the frames it claims, or has none.
    for (auto [height, frames] : { std::pair { 100, 255 }, std::pair { 255, 0 }, std::pair { 0, 255 } })
    {
        KelKnob::setFilmStrip (height > 0 ? numberedStrip (1, 40, height) : juce::Image(), frames);
        EXPECT_FALSE (KelKnob::getFilmStrip().isUsable()) << height << " " << frames;
        const auto image = snapshotOf (knob);
        EXPECT_TRUE (isYellowish (image.getPixelAt (30, 15))) << height << " " << frames;
    }

    // A knob built after the strip was set clears it for all knobs.
    KelKnob::setFilmStrip (numberedStrip (255, 40, 40), 255);
    ASSERT_TRUE (KelKnob::getFilmStrip().isUsable());
    KelKnob later;
    EXPECT_FALSE (KelKnob::getFilmStrip().isUsable());
    EXPECT_TRUE (isYellowish (snapshotOf (knob).getPixelAt (30, 15)));
}

TEST (KelKnobLook, ThePointerTurnsFromDownLeftToDownRight)
{
    KelKnob knob;
    knob.setBounds (0, 0, 40, 40);
    // Pixels whose centres lie on the pointer at either end of its travel.
    const juce::Point<int> downLeft { 12, 27 }, downRight { 27, 27 };

    knob.setValue (0.0f, false);
    auto image = snapshotOf (knob);
    EXPECT_LT (brightnessAt (image, downLeft.x, downLeft.y), 0.3f);
    EXPECT_GT (brightnessAt (image, downRight.x, downRight.y), 0.7f);

    knob.setValue (1.0f, false);
    image = snapshotOf (knob);
    EXPECT_GT (brightnessAt (image, downLeft.x, downLeft.y), 0.7f);
    EXPECT_LT (brightnessAt (image, downRight.x, downRight.y), 0.3f);
}

TEST (LevelMeterSliderLevels, LevelsAreLimitedAndNaNCountsAsZero)
{
    LevelMeterSlider meter;
    meter.setLevels (3.0f, -1.0f, notANumber, 0.4f);
    EXPECT_EQ (meter.getLevel (0), LevelMeterSlider::maxLevel);
    EXPECT_EQ (meter.getLevel (1), 0.0f);
    EXPECT_EQ (meter.getLevel (2), 0.0f);
    EXPECT_EQ (meter.getLevel (3), 0.4f);
    meter.setMarker (notANumber);
    EXPECT_EQ (meter.getMarker(), 0.0f);
}

TEST (LevelMeterSliderLook, AVerticalMeterDrawsTheHoldLevelsRedOnlyAboveTheLimit)
{
    LevelMeterSlider meter;
    meter.setBounds (0, 0, 30, 200); // short side 10: bars at x 10..13 and 15..18, 190 px long from y 5
    meter.setValue (1.0f, false);    // the cap up at the top, out of the way
    const auto& colours = LevelMeterSlider::colours;

    struct Case { float peak, holdLeft, holdRight; int topLeft, topRight; juce::Colour bar; };
    const Case cases[] = {
        { 0.0f, 0.5f, 0.25f, 5 + 95, 5 + 142, colours.meterBar },
        { 0.0f, 1.06f, 0.25f, 5, 5 + 142, colours.meterLimit },
        { 0.0f, 0.25f, 1.06f, 5 + 142, 5, colours.meterLimit },
        { 0.0f, 1.05f, 1.05f, 5, 5, colours.meterBar },    // at the limit, not above
        { 0.0f, 3.0f, 0.0f, 5, 195, colours.meterLimit },   // stored as 1.051, drawn full
        { 1.0f, 0.0f, 0.0f, 195, 195, colours.meterBar },   // the fast peaks are not drawn
    };
    for (const auto& c : cases)
    {
        meter.setLevels (c.peak, c.peak, c.holdLeft, c.holdRight);
        const auto image = snapshotOf (meter);
        const std::pair<int, int> bars[] = { { 11, c.topLeft }, { 16, c.topRight } };
        for (auto [x, top] : bars)
        {
            if (top < 195)
            {
                EXPECT_EQ (image.getPixelAt (x, top + 1), c.bar) << c.holdLeft << " " << c.holdRight << " x " << x;
            }
            if (top > 5)
            {
                EXPECT_EQ (image.getPixelAt (x, top - 1), colours.meterTrack) << c.holdLeft << " x " << x;
            }
        }
    }
}

TEST (LevelMeterSliderLook, AHorizontalFaderShowsItsCapAndMarker)
{
    LevelMeterSlider meter;
    meter.setBounds (0, 0, 104, 32); // cap 10 wide
    meter.setMarker (0.25f);
    meter.setLevels (0, 0, 0.5f, 0.5f);

    meter.setValue (0.0f, false);
    auto image = snapshotOf (meter);
    EXPECT_EQ (image.getPixelAt (26, 12), juce::Colours::white);      // the marker at a quarter
    EXPECT_EQ (image.getPixelAt (30, 12), juce::Colour (0xffffa500)); // left bar, half of 94 px long
    EXPECT_EQ (image.getPixelAt (60, 12), LevelMeterSlider::colours.meterTrack);
    const juce::Point<int> capAtLeft { 5, 3 }, capAtRight { 94 + 5, 3 };
    EXPECT_EQ (image.getPixelAt (capAtLeft.x, capAtLeft.y), LevelMeterSlider::colours.capInside);
    EXPECT_EQ (image.getPixelAt (capAtRight.x, capAtRight.y).getAlpha(), 0);

    meter.setValue (1.0f, false);
    image = snapshotOf (meter);
    EXPECT_EQ (image.getPixelAt (capAtLeft.x, capAtLeft.y).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (capAtRight.x, capAtRight.y), LevelMeterSlider::colours.capInside);
}

TEST (LevelMeterSliderLook, TinyMetersBuildNoImagesAndDrawNothing)
{
    for (auto size : { juce::Point<int> { 2, 50 }, juce::Point<int> { 50, 2 }, juce::Point<int> { 0, 0 } })
    {
        LevelMeterSlider meter;
        meter.setBounds (0, 0, size.x, size.y);
        meter.setLevels (1, 1, 1, 1);
        LevelMeterSlider::rebuildAll();
        EXPECT_FALSE (meter.getCapImage().isValid()) << size.toString();
        const auto image = snapshotOf (meter);
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                ASSERT_EQ (image.getPixelAt (x, y).getAlpha(), 0) << size.toString();

        meter.setSize (30, 3); // just large enough: a cap one pixel wide
        EXPECT_EQ (meter.getCapImage().getWidth(), 1);
    }
}
