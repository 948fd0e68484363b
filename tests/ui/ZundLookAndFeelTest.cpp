#include "ui/look/ZundLookAndFeel.h"

#include "support/UiEvents.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
// The rectangle covered by pixels that are not fully transparent.
juce::Rectangle<int> paintedArea (const juce::Image& image)
{
    juce::Rectangle<int> area;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() > 0)
                area = area.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1)
                                      : area.getUnion (juce::Rectangle<int> (x, y, 1, 1));
    return area;
}

int countPixels (const juce::Image& image, const std::function<bool (juce::Colour)>& matches)
{
    int count = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            count += matches (image.getPixelAt (x, y)) ? 1 : 0;
    return count;
}

bool near (juce::Colour a, juce::Colour b, int tolerance = 6)
{
    return std::abs (a.getRed() - b.getRed()) <= tolerance && std::abs (a.getGreen() - b.getGreen()) <= tolerance
           && std::abs (a.getBlue() - b.getBlue()) <= tolerance;
}
}

TEST (ZundLookAndFeel, treeBoxIsAnOddSquareOfTwoThirdsOfTheAreaAtMostSixteen)
{
    struct Case
    {
        int width, height, side;
    };
    const Case cases[] = { { 40, 40, 11 }, { 16, 16, 11 }, { 13, 13, 9 }, { 30, 9, 7 } };

    ZundLookAndFeel lookAndFeel;
    for (const auto& c : cases)
    {
        for (bool isOpen : { false, true })
        {
            juce::Image image (juce::Image::ARGB, c.width, c.height, true);
            {
                juce::Graphics g (image);
                lookAndFeel.drawTreeviewPlusMinusBox (g, { 0.0f, 0.0f, (float) c.width, (float) c.height },
                                                      juce::Colours::black, isOpen, false);
            }
            const auto box = paintedArea (image);
            EXPECT_EQ (box.getWidth(), c.side) << c.width << " x " << c.height;
            EXPECT_EQ (box.getHeight(), c.side) << c.width << " x " << c.height;
            EXPECT_LE (std::abs (box.getX() - (c.width - box.getRight())), 1) << c.width << " x " << c.height;
            EXPECT_LE (std::abs (box.getY() - (c.height - box.getBottom())), 1) << c.width << " x " << c.height;

            // The middle row carries the bar; the middle column above it only for a closed item (plus).
            const auto middle = box.getTopLeft() + juce::Point<int> (c.side / 2, c.side / 2);
            const auto face = image.getPixelAt (box.getX() + 1, box.getY() + 1);
            EXPECT_NE (image.getPixelAt (middle.x - 1, middle.y), face);
            EXPECT_EQ (image.getPixelAt (middle.x, middle.y - 2) != face, ! isOpen) << c.width << " x " << c.height;
        }
    }
}

TEST (ZundLookAndFeel, rotarySliderUsesTheSmallStyleUpToRadiusTwelve)
{
    const juce::Colour arcGreen (0xff9acd32);
    struct Case
    {
        int size; // radius = size / 2 - 2
        bool smallStyle;
    };
    const Case cases[] = { { 20, true }, { 28, true }, { 30, false }, { 60, false } };

    ZundLookAndFeel lookAndFeel;
    juce::Slider slider (juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox);
    slider.setLookAndFeel (&lookAndFeel);
    for (const auto& c : cases)
    {
        slider.setSize (c.size, c.size);
        juce::Image image (juce::Image::ARGB, c.size, c.size, true);
        {
            juce::Graphics g (image);
            lookAndFeel.drawRotarySlider (g, 0, 0, c.size, c.size, 0.25f, -2.5f, 2.5f, slider);
        }
        const int green = countPixels (image, [&] (juce::Colour p) { return p.getAlpha() > 200 && near (p, arcGreen); });
        EXPECT_EQ (green == 0, c.smallStyle) << "size " << c.size;

        // Both styles point at the value: at position 0.25 the pointer leans
        // to the upper left, and nothing is drawn at the lower right rim.
        const float radius = (float) (c.size / 2) - 2.0f;
        const float angle = -2.5f + 0.25f * 5.0f;
        const auto centre = juce::Point<float> ((float) c.size * 0.5f, (float) c.size * 0.5f);
        const auto tip = centre.getPointOnCircumference (radius * 0.5f, angle).roundToInt();
        const auto opposite = centre.getPointOnCircumference (radius * 0.5f, angle + juce::MathConstants<float>::pi)
                                  .roundToInt();
        EXPECT_GT (image.getPixelAt (tip.x, tip.y).getAlpha(), 200) << "size " << c.size;
        EXPECT_EQ (image.getPixelAt (opposite.x, opposite.y).getAlpha(), 0) << "size " << c.size;
    }
    slider.setLookAndFeel (nullptr);
}

TEST (ZundLookAndFeel, toggleButtonsShowTheirStateInFlatColours)
{
    struct Case
    {
        const char* what;
        bool enabled, on, mouseOver;
        juce::Colour face;
    };
    const juce::Colour onColour = juce::Colour (0xff80a0a0).darker (0.2f);
    const Case cases[] = {
        { "off", true, false, false, juce::Colour (0xffc0c0c0) },
        { "on", true, true, false, onColour },
        { "on under the mouse", true, true, true, onColour.brighter (0.5f) },
        { "off under the mouse", true, false, true, juce::Colour (0xffc0c0c0).brighter (0.5f) },
        { "disabled", false, true, false, juce::Colours::black },
    };

    ZundLookAndFeel lookAndFeel;
    for (const auto& c : cases)
    {
        juce::ToggleButton button ("A");
        button.setSize (80, 20);
        button.setEnabled (c.enabled);
        button.setToggleState (c.on, juce::dontSendNotification);

        juce::Image image (juce::Image::ARGB, 80, 20, true);
        {
            juce::Graphics g (image);
            lookAndFeel.drawToggleButton (g, button, c.mouseOver, false);
        }
        EXPECT_EQ (image.getPixelAt (8, 10), c.face) << c.what;
        EXPECT_EQ (image.getPixelAt (0, 10), juce::Colours::black) << c.what << ": outline";
        if (c.enabled)
        {
            const int dark = countPixels (image, [] (juce::Colour p) { return p.getBrightness() < 0.3f; });
            EXPECT_GT (dark, 2 * (80 + 20)) << c.what << ": the caption shows over the outline";
        }
    }
}

TEST (ZundLookAndFeel, titleBarShowsTheTitleCentredLeftOfTheButtons)
{
    ZundLookAndFeel lookAndFeel;
    const juce::String title ("ZUND V2.20");
    juce::DocumentWindow window (title, juce::Colour (0xff222222), juce::DocumentWindow::allButtons, false);
    window.setLookAndFeel (&lookAndFeel);
    window.setTitleBarHeight (20);
    window.setUsingNativeTitleBar (false);
    window.setSize (600, 120);

    auto* close = window.getCloseButton();
    auto* minimise = window.getMinimiseButton();
    auto* maximise = window.getMaximiseButton();
    ASSERT_NE (close, nullptr);
    ASSERT_NE (minimise, nullptr);
    ASSERT_NE (maximise, nullptr);
    EXPECT_EQ (close->getName(), "close");
    EXPECT_EQ (minimise->getName(), "minimise");
    EXPECT_EQ (maximise->getName(), "maximise");

    const auto image = test::snapshotOf (window);
    const auto titleBar = window.getTitleBarArea();
    int first = -1, last = -1;
    for (int x = 0; x < minimise->getX(); ++x)
        for (int y = titleBar.getY(); y < titleBar.getBottom(); ++y)
            if (image.getPixelAt (x, y).getBrightness() > 0.3f)
            {
                first = first < 0 ? x : first;
                last = x;
            }

    const juce::Font font ((float) titleBar.getHeight() * 0.65f, juce::Font::bold);
    const int textWidth = font.getStringWidth (title);
    ASSERT_GE (first, 0) << "no title text";
    EXPECT_NEAR (last - first + 1, textWidth, textWidth / 5);
    EXPECT_NEAR ((first + last) / 2, window.getWidth() / 2, 4);
    EXPECT_LT (last, minimise->getX());

    // The glass buttons show their symbols, in the middle, darker than their faces.
    for (auto* button : { close, minimise, maximise })
    {
        const auto bounds = button->getBounds();
        float face = 0.0f;
        for (int y = bounds.getY(); y < bounds.getBottom(); ++y)
            for (int x = bounds.getX(); x < bounds.getRight(); ++x)
                face = juce::jmax (face, image.getPixelAt (x, y).getBrightness());
        const auto centre = bounds.getCentre();
        EXPECT_LT (image.getPixelAt (centre.x, centre.y).getBrightness(), face - 0.25f) << button->getName();
    }
    window.setLookAndFeel (nullptr);
}
