#include "library/browser/CheckBoxMenu.h"

#include "support/UiEvents.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
struct MenuRig : juce::ChangeListener
{
    CheckBoxMenu menu;
    int changes = 0;

    MenuRig()
    {
        const char* names[] = { "Path", "Filename", "Artist", "Album", "Song", "Genre", "Label" };
        for (int i = 0; i < 7; ++i)
            menu.addItem (names[i], i + 1, i != 0);
        menu.addChangeListener (this);
        menu.setVisible (true);
    }

    ~MenuRig() override { menu.removeChangeListener (this); }

    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++changes; }

    void moveTo (int y) { menu.mouseMove (test::mouseEventAt (menu, { 50, y })); }
    void click (int y) { menu.mouseDown (test::mouseEventAt (menu, { 50, y })); }
};
}

TEST (CheckBoxMenu, sizeFollowsTheItemsAndTheCornerStaysOnScreen)
{
    MenuRig rig;
    EXPECT_EQ (rig.menu.getBounds().getWidth(), 100);
    EXPECT_EQ (rig.menu.getBounds().getHeight(), 140);

    EXPECT_EQ (CheckBoxMenu::cornerForMouseAt ({ 5, 3 }), juce::Point<int> (0, 0));
    EXPECT_EQ (CheckBoxMenu::cornerForMouseAt ({ 300, 40 }), juce::Point<int> (292, 32));
}

TEST (CheckBoxMenu, aClickTogglesTheHoveredItemAndBroadcastsOnce)
{
    MenuRig rig;
    rig.moveTo (39);
    rig.click (39);
    test::pumpMessagesUntil ([&] { return rig.changes > 0; });
    EXPECT_FALSE (rig.menu.isChecked (2));
    EXPECT_EQ (rig.changes, 1);

    rig.click (39);
    test::pumpMessagesUntil ([&] { return rig.changes > 1; });
    EXPECT_TRUE (rig.menu.isChecked (2));
    EXPECT_FALSE (rig.menu.isChecked (1)) << "the others stay";
    EXPECT_TRUE (rig.menu.isChecked (3));
    EXPECT_FALSE (rig.menu.isChecked (99));

    rig.menu.mouseExit (test::mouseEventAt (rig.menu, { 50, 200 }));
    rig.click (39); // nothing hovered
    rig.moveTo (150); // below the last item
    rig.click (150);
    test::pumpMessages (20);
    EXPECT_EQ (rig.changes, 2);
    EXPECT_TRUE (rig.menu.isChecked (2));
}

TEST (CheckBoxMenu, hidesHalfASecondAfterTheMouseLeftUnlessItComesBack)
{
    MenuRig rig;
    const auto outside = test::mouseEventAt (rig.menu, { 50, 200 });

    rig.menu.mouseEnter (outside);
    rig.menu.mouseExit (outside);
    EXPECT_FALSE (rig.menu.isTimerRunning()) << "never moved inside";

    rig.moveTo (10);
    rig.menu.mouseExit (outside);
    EXPECT_EQ (rig.menu.getTimerInterval(), 500);
    rig.menu.mouseEnter (outside);
    EXPECT_FALSE (rig.menu.isTimerRunning()) << "came back in time";

    rig.menu.mouseExit (outside);
    rig.menu.timerCallback();
    EXPECT_FALSE (rig.menu.isVisible());
}

TEST (CheckBoxMenu, paintsTheHoveredRowOrangeAndTicksCheckedItems)
{
    MenuRig rig;
    rig.moveTo (45); // third row
    const auto image = test::snapshotOf (rig.menu);

    const auto hovered = image.getPixelAt (95, 51);
    EXPECT_GT (hovered.getRed(), 240);
    EXPECT_NEAR (hovered.getGreen(), 0xa5, 6);
    EXPECT_LT (hovered.getBlue(), 10);

    auto blueIn = [&] (int row)
    {
        int count = 0;
        for (int y = row * 20; y < row * 20 + 20; ++y)
            for (int x = 2; x < 22; ++x)
                if (const auto p = image.getPixelAt (x, y); p.getBlue() > 150 && p.getRed() < 100)
                    ++count;
        return count;
    };
    EXPECT_EQ (blueIn (0), 0) << "Path is not ticked";
    EXPECT_GT (blueIn (1), 5) << "Filename is ticked";
}
