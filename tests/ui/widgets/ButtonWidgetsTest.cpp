#include "WidgetTestSupport.h"
#include "ui/widgets/CuePointComponent.h"
#include "ui/widgets/KelButton.h"
#include "ui/widgets/KelToggleButton.h"
#include "ui/widgets/LedComponent.h"
#include "ui/widgets/SelectorGrid.h"

#include <gtest/gtest.h>

#include <limits>
#include <thread>

using namespace zund;
using namespace zund::test;

namespace
{
const juce::ModifierKeys rightButton (juce::ModifierKeys::rightButtonModifier);

void click (juce::Component& c, juce::Point<int> at, juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
{
    c.mouseDown (mouseEventAt (c, at, mods));
    c.mouseUp (mouseEventAt (c, at, mods));
}

// The face colour near the bottom of a button box (below the caption).
bool looksLit (KelToggleButton& toggle)
{
    const auto image = snapshotOf (toggle);
    return image.getPixelAt (3, toggle.getHeight() - 3).getRed() > 0x40;
}

bool containsColour (const juce::Image& image, juce::Colour colour)
{
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y) == colour)
                return true;
    return false;
}

std::unique_ptr<SelectorGrid> makeGrid (int rows, int columns, int width, int height, ExComponentListener* l)
{
    auto grid = std::make_unique<SelectorGrid> (0, l);
    grid->setRows (rows);
    grid->setColumns (columns);
    grid->setBounds (0, 0, width, height);
    return grid;
}
}

TEST (KelButtonPress, PressAndReleaseAreHeardAndValuesAreNotLimited)
{
    RecordingListener listener;
    KelButton button (54, &listener);
    button.setBounds (0, 0, 40, 20);
    click (button, { 5, 5 });
    EXPECT_EQ (listener.values, (std::vector<float> { 1.0f, 0.0f }));
    EXPECT_EQ (listener.mouseDowns, 1);

    button.setValue (2.0f, false);
    EXPECT_EQ (button.getValue(), 2.0f);
    EXPECT_TRUE (button.isOn());
}

TEST (KelButtonLook, TheBoxLightsItsOutlineUnderTheMouseAndShowsTheCaption)
{
    KelButton button (0, nullptr);
    button.setBounds (0, 0, 60, 20);
    button.setTexts ("TAP", "");
    const auto plain = snapshotOf (button);
    EXPECT_EQ (plain.getPixelAt (1, 10), juce::Colours::black);

    button.mouseEnter (mouseEventAt (button, { 5, 5 }));
    const auto hovered = snapshotOf (button);
    EXPECT_GT (brightnessAt (hovered, 1, 10), 0.6f);

    float brightest = 0.0f; // the light caption stands out of the dark face
    for (int x = 20; x < 40; ++x)
        for (int y = 4; y < 16; ++y)
            brightest = juce::jmax (brightest, brightnessAt (plain, x, y));
    EXPECT_GT (brightest, 0.6f);
}

TEST (CuePointComponentClicks, ARightClickMovesTheMarkerOutOfSightAndStillPressesIt)
{
    RecordingListener listener;
    CuePointComponent marker (19, &listener);
    marker.setBounds (40, 3, 21, 21);

    click (marker, { 10, 10 }); // a left click leaves it where it is
    EXPECT_EQ (marker.getX(), 40);

    click (marker, { 10, 10 }, rightButton);
    EXPECT_EQ (marker.getX(), CuePointComponent::hiddenX);
    EXPECT_EQ (marker.getY(), 3);
    EXPECT_EQ (listener.values, (std::vector<float> { 1.0f, 0.0f, 1.0f, 0.0f }));
}

TEST (CuePointComponentLook, ThePressedAndHoveredMarkersTakeTheirColours)
{
    CuePointComponent marker (0, nullptr);
    marker.setBounds (0, 0, 21, 21);
    const juce::Point<int> insideHead { 5, 10 }; // left of the number, inside the ring

    EXPECT_EQ (snapshotOf (marker).getPixelAt (insideHead.x, insideHead.y), CuePointComponent::colours.inside);
    marker.mouseEnter (mouseEventAt (marker, insideHead));
    EXPECT_EQ (snapshotOf (marker).getPixelAt (insideHead.x, insideHead.y), CuePointComponent::colours.insideOver);
    marker.setValue (1.0f, false);
    EXPECT_EQ (snapshotOf (marker).getPixelAt (insideHead.x, insideHead.y),
               CuePointComponent::colours.insidePressed);
}

TEST (KelToggleButtonClicks, TwoClicksReturnToTheFirstValueAndAreBothHeard)
{
    RecordingListener listener;
    KelToggleButton toggle (&listener);
    toggle.setBounds (0, 0, 40, 16);
    click (toggle, { 5, 5 });
    EXPECT_TRUE (toggle.getToggleState());
    click (toggle, { 5, 5 });
    EXPECT_FALSE (toggle.getToggleState());
    EXPECT_EQ (listener.values, (std::vector<float> { 1.0f, 0.0f }));
}

TEST (KelToggleButtonBlink, ABlinkingToggleAlternatesWhileOnAndIsDarkAtOnceWhenOff)
{
    KelToggleButton toggle (nullptr);
    toggle.setBounds (0, 0, 40, 16);
    toggle.setBlinking (true);
    toggle.setToggleState (true, false);
    pumpMessages (10); // the change message starts the blink
    ASSERT_TRUE (toggle.isBlinkRunning());

    int changes = 0;
    bool last = looksLit (toggle);
    EXPECT_TRUE (last); // lit at once
    for (int t = 0; t < 1000; t += 20)
    {
        pumpMessages (20);
        const bool lit = looksLit (toggle);
        changes += lit != last ? 1 : 0;
        last = lit;
    }
    EXPECT_GE (changes, 2); // about three in a second at 300 ms
    EXPECT_LE (changes, 5);

    toggle.setToggleState (false, false);
    EXPECT_FALSE (looksLit (toggle));
    EXPECT_FALSE (toggle.isBlinkRunning());
}

TEST (KelToggleButtonBlink, TheBlinkStartsOnlyIfStillOnAndBlinkingWhenTheMessageArrives)
{
    struct Case { bool switchOffAgain, stopBlinking, expectRunning; };
    for (auto c : { Case { true, false, false }, Case { false, true, false }, Case { false, false, true } })
    {
        KelToggleButton toggle (nullptr);
        toggle.setBounds (0, 0, 40, 16);
        toggle.setBlinking (true);

        std::thread midi ([&] {
            toggle.setValue (1.0f, true); // asks the message thread for the blink
            if (c.switchOffAgain)
                toggle.setValue (0.0f, true);
        });
        midi.join();
        if (c.stopBlinking)
            toggle.setBlinking (false);

        pumpMessages (50);
        EXPECT_EQ (toggle.isBlinkRunning(), c.expectRunning) << c.switchOffAgain << c.stopBlinking;
        EXPECT_EQ (looksLit (toggle), toggle.isOn());
    }
}

TEST (KelToggleButtonBlink, SwitchingOffFromAnotherThreadStopsTheBlink)
{
    KelToggleButton toggle (nullptr);
    toggle.setBounds (0, 0, 40, 16);
    toggle.setBlinking (true);
    toggle.setToggleState (true, false);
    pumpMessages (10);
    ASSERT_TRUE (toggle.isBlinkRunning());

    std::thread midi ([&toggle] { toggle.setValue (0.0f, true); });
    midi.join();
    EXPECT_FALSE (looksLit (toggle)); // dark before the message arrives
    pumpMessages (20);
    EXPECT_FALSE (toggle.isBlinkRunning());
}

TEST (LedComponentFlash, AFlashWhileLitRestartsTheTime)
{
    LedComponent lamp;
    lamp.flash (200);
    EXPECT_TRUE (lamp.isOn());
    pumpMessages (120);
    lamp.flash (200);
    pumpMessages (120); // 240 ms after the first flash, 120 after the second
    EXPECT_TRUE (lamp.isOn());
    pumpMessages (300);
    EXPECT_FALSE (lamp.isOn());
}

TEST (LedComponentFlash, AFlashFromAnotherThreadLightsAndGoesDarkOnTheMessageThread)
{
    LedComponent lamp;
    lamp.setBounds (0, 0, 32, 15);
    std::thread midi ([&lamp] { lamp.flash (50); });
    midi.join();
    EXPECT_TRUE (containsColour (snapshotOf (lamp), juce::Colour (0xffff0000)));
    pumpMessages (150);
    EXPECT_FALSE (lamp.isOn());
    const auto dark = snapshotOf (lamp);
    EXPECT_FALSE (containsColour (dark, juce::Colour (0xffff0000)));
    EXPECT_TRUE (containsColour (dark, juce::Colour (0xff808080)));
}

TEST (SelectorGridValues, ValuesSelectTheCellTheyTruncateToOrLeaveTheSelection)
{
    auto grid = makeGrid (2, 1, 40, 40, nullptr);
    grid->setDefaultValue (1.0f);
    struct Case { float in; int selected; float stored; };
    const Case cases[] = {
        { 0.4f, 0, 0.0f },
        { 0.6f, 0, 0.0f },
        { 1.0f, 1, 1.0f },
        { 1.9f, 1, 1.0f },
        { 2.5f, 1, 2.5f }, // outside: selection kept, value stored as given
        { 0.0f, 0, 0.0f },
        { -3.0f, 0, -3.0f },
        { std::numeric_limits<float>::infinity(), 0, std::numeric_limits<float>::infinity() },
        { std::numeric_limits<float>::quiet_NaN(), 1, 1.0f }, // the default value
    };
    for (const auto& c : cases)
    {
        grid->setValue (c.in, false);
        EXPECT_EQ (grid->getSelectedIndex(), c.selected) << c.in;
        EXPECT_EQ (grid->getValue(), c.stored) << c.in;
    }
}

TEST (SelectorGridValues, AOneCellGridHasValueZero)
{
    auto grid = makeGrid (1, 1, 20, 20, nullptr);
    grid->setValue (0.7f, false);
    EXPECT_EQ (grid->getSelectedIndex(), 0);
    EXPECT_EQ (grid->getValue(), 0.0f);
    grid->selectIndex (0, false);
    EXPECT_EQ (grid->getValue(), 0.0f);
}

TEST (SelectorGridValues, CellValuesAreTheirNumbersOrTheirIndexAndZeroOutside)
{
    auto grid = makeGrid (2, 4, 120, 34, nullptr);
    grid->setCellValues ({ 2.0f, 1.0f, 0.75f, 0.5f, 0.03125f, 0.0625f, 0.125f, 0.25f });
    grid->selectIndex (6, false);
    EXPECT_EQ (grid->getCellValue (grid->getSelectedIndex()), 0.125f);
    EXPECT_EQ (grid->getCellValue (8), 0.0f);
    EXPECT_EQ (grid->getCellValue (-1), 0.0f);

    auto plain = makeGrid (1, 5, 190, 15, nullptr);
    EXPECT_EQ (plain->getCellValue (3), 3.0f);
}

TEST (SelectorGridClicks, ClicksSelectTheCellUnderThePointerLimitedToTheGrid)
{
    RecordingListener listener;
    auto grid = makeGrid (2, 4, 120, 34, &listener);

    click (*grid, { 95, 30 }); // row 1, column 3
    EXPECT_EQ (grid->getSelectedIndex(), 7);
    EXPECT_EQ (grid->getValue(), 1.0f);
    click (*grid, { 95, 30 }); // the selected cell again: nothing
    click (*grid, { 10, 500 }); // below the last row: a cell of the last row
    EXPECT_EQ (grid->getSelectedIndex(), 4);
    EXPECT_NEAR (grid->getValue(), 4.0f / 7.0f, 1e-6f);
    ASSERT_EQ (listener.values.size(), 2u);
    EXPECT_EQ (listener.mouseDowns, 3);

    // Dragging across the top row selects each cell passed over.
    listener.values.clear();
    const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);
    grid->mouseDown (mouseEventAt (*grid, { 5, 5 }, left));
    for (int x = 5; x < 120; x += 10)
        grid->mouseDrag (mouseEventAt (*grid, { x, 5 }, left));
    EXPECT_EQ (listener.values.size(), 4u);
    EXPECT_EQ (grid->getSelectedIndex(), 3);
}

TEST (SelectorGridClicks, AGridWithoutSizeOrCellsIgnoresClicks)
{
    RecordingListener listener;
    SelectorGrid neverSized (0, &listener);
    neverSized.setRows (2);
    neverSized.setColumns (2);
    neverSized.selectIndex (1, false);
    click (neverSized, { 3, 3 });
    EXPECT_EQ (neverSized.cellAt (3, 3), -1);

    auto noColumns = makeGrid (2, 0, 40, 40, &listener);
    click (*noColumns, { 3, 3 });
    EXPECT_EQ (noColumns->cellAt (3, 3), -1);

    EXPECT_EQ (neverSized.getSelectedIndex(), 1);
    EXPECT_TRUE (listener.values.empty());
    EXPECT_EQ (listener.mouseDowns, 2);
    snapshotOf (*noColumns); // nothing to draw, nothing to divide by
}

TEST (SelectorGridLook, OnlyTheSelectedCellIsLit)
{
    auto grid = makeGrid (1, 3, 90, 20, nullptr);
    grid->setCellTexts ({ "SLOW", "MID", "FAST" });
    grid->selectIndex (1, false);
    const auto image = snapshotOf (*grid);
    const int besideCaption = 3, belowCaption = 17;
    EXPECT_LT (image.getPixelAt (0 + besideCaption, belowCaption).getRed(), 0x20);
    EXPECT_GT (image.getPixelAt (30 + besideCaption, belowCaption).getRed(), 0x60); // the red face
    EXPECT_LT (image.getPixelAt (60 + besideCaption, belowCaption).getRed(), 0x20);
}
