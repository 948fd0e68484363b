#include "app/main/MainComponent.h"
#include "library/browser/ZundBrowser.h"
#include "support/AudioFixtures.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/bottom/BottomComponent.h"

#include <gtest/gtest.h>

#include <thread>

using namespace zund;

namespace
{
ZundBrowser* browserOf (MainComponent& main)
{
    for (auto* child : main.getChildren())
        if (auto* browser = dynamic_cast<ZundBrowser*> (child))
            return browser;
    return nullptr;
}
}

// The bar runs along the whole bottom, right under the browser.
TEST (MainComponentBottomBar, RunsAlongTheBottomUnderTheBrowser)
{
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    for (const auto size : { juce::Point<int> (1022, 730), { 1920, 1080 } })
    {
        main.setSize (size.x, size.y);
        auto* bar = main.getBottomBar();
        ASSERT_NE (bar, nullptr);
        EXPECT_EQ (bar->getBounds(), juce::Rectangle<int> (0, size.y - BottomComponent::barHeight, size.x,
                                                           BottomComponent::barHeight));
        auto* browser = browserOf (main);
        ASSERT_NE (browser, nullptr);
        EXPECT_EQ (browser->getBottom(), bar->getY());
    }
}

// The section toggles show the sections the preferences hid; a click on one
// shows its section again.
TEST (MainComponentBottomBar, SectionTogglesShowThePreferencesAtStartUp)
{
    test::ScopedProgramFolder folder;
    ASSERT_TRUE (folder.file ("preferences.xml")
                     .replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                       "<Preferences MODULE_ACTIVE_4=\"0\" MODULE_ACTIVE_10=\"0\"/>\n"));
    MainComponent main (nullptr);
    main.setSize (1022, 730);
    auto& bar = *main.getBottomBar();
    EXPECT_FALSE (bar.getSectionToggle (4)->isOn());
    EXPECT_FALSE (bar.getSectionToggle (10)->isOn());
    for (const int section : { 5, 6, 7, 8, 9 })
        EXPECT_TRUE (bar.getSectionToggle (section)->isOn()) << section;

    auto& eq = *bar.getSectionToggle (4);
    const auto e = test::mouseEventAt (eq, { 5, 5 });
    eq.mouseDown (e);
    eq.mouseUp (e);
    EXPECT_TRUE (test::pumpMessagesUntil ([&] { return main.isSectionVisible (4); }));

    main.setSectionVisible (6, false);
    EXPECT_FALSE (bar.getSectionToggle (6)->isOn());
}

// A song double-clicked in the browser plays in the preview player.
TEST (MainComponentBottomBar, ChosenSongPlaysInThePreview)
{
    test::ScopedProgramFolder folder;
    const auto song = folder.file ("preview.wav");
    ASSERT_TRUE (test::writeAudioFile (song, test::FileKind::wav, 44100.0, 2, 16, 44100,
                                       test::sineSignal (440.0, 44100.0, 0.25f)));
    MainComponent main (nullptr);
    main.songChosen (song.getFullPathName());
    EXPECT_TRUE (main.getBottomBar()->getPlayToggle().isOn());
    EXPECT_EQ (main.getBottomBar()->getPreviewStrip().getTitle().getText(), "preview.wav");
}

// MIDI input, on its own thread, lights the lamp for a moment.
TEST (MainComponentBottomBar, MidiInputFlashesTheLamp)
{
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    auto& lamp = main.getBottomBar()->getMidiLamp();
    ASSERT_FALSE (lamp.isOn());

    std::thread midi ([&] { main.handleIncomingMidiMessage (nullptr, juce::MidiMessage::controllerEvent (1, 7, 64)); });
    midi.join();
    EXPECT_TRUE (lamp.isOn());
    EXPECT_TRUE (test::pumpMessagesUntil ([&] { return ! lamp.isOn(); }, 1000));
}
