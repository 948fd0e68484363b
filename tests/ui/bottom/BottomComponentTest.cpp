#include "BottomBarRig.h"

#include "support/AudioFixtures.h"
#include "support/OddNames.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/SongDragSource.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr double rate = 44100.0;

juce::File writeTrack (const TempFolder& folder, const juce::String& name, double seconds)
{
    const auto file = folder.file (name);
    EXPECT_TRUE (writeAudioFile (file, FileKind::wav, rate, 2, 16, (juce::int64) (seconds * rate),
                                 sineSignal (440.0, rate, 0.25f)));
    return file;
}

double previewSeconds (const Engine& engine, double trackSeconds)
{
    return engine.getPositionFraction (Engine::previewChannel) * trackSeconds;
}

/** The song table as a drag source, with one selected row or none. */
struct SongTableStandIn : public juce::Component, public SongDragSource
{
    juce::String getSelectedSongPath() const override { return selected; }
    juce::String selected;
};

juce::DragAndDropTarget::SourceDetails dragOf (const juce::String& description, juce::Component* source)
{
    return { description, source, { 10, 5 } };
}
}

// Left to right: the preview player, the section toggles around the middle,
// then LEARN, INFO, Preferences, record and the lamp; all inside the bar,
// none over another, every caption readable, at the smallest and a wide window.
TEST (BottomComponent, WidgetsStandInOrderInsideTheBarWithReadableCaptions)
{
    for (const int width : { 1022, 1920 })
    {
        BottomBarRig rig (width);
        auto& b = rig.bar;
        const std::vector<juce::Component*> order {
            &b.getRewindButton(), &b.getPlayToggle(), &b.getFastForwardButton(), &b.getPreviewStrip(),
            b.getSectionToggle (9), b.getSectionToggle (8), b.getSectionToggle (4), b.getSectionToggle (5),
            b.getSectionToggle (6), b.getSectionToggle (10), b.getSectionToggle (7), &b.getLearnToggle(),
            &b.getInfoButton(), &b.getPreferencesButton(), &b.getRecordButton(), &b.getMidiLamp(),
        };
        for (size_t i = 0; i < order.size(); ++i)
        {
            ASSERT_NE (order[i], nullptr) << i;
            EXPECT_TRUE (b.getLocalBounds().contains (order[i]->getBounds())) << width << " " << i;
            EXPECT_TRUE (order[i]->isVisible()) << i;
            if (i > 0)
            {
                EXPECT_GT (order[i]->getX(), order[i - 1]->getRight()) << width << " " << i;
            }
            if (auto* widget = dynamic_cast<ExComponent*> (order[i]); widget != nullptr && widget->getText().isNotEmpty())
            {
                const juce::Font font (13.0f);
                EXPECT_LE (font.getStringWidthFloat (widget->getText()), (float) widget->getWidth() - 4.0f)
                    << widget->getText();
            }
        }
        EXPECT_EQ (b.getSectionToggle (9)->getText(), "Channel");
        EXPECT_EQ (b.getSectionToggle (10)->getText(), "Crossfader");
        EXPECT_EQ (b.getSectionToggle (0), nullptr) << "the strips' sections have no toggle";
    }
}

// A section toggle shows or hides its section once the press has been handled,
// and shows what the main component holds.
TEST (BottomComponent, SectionTogglesShowAndHideTheirSections)
{
    BottomBarRig rig;
    for (const int section : { 4, 5, 6, 7, 8, 9, 10 })
    {
        auto* toggle = rig.bar.getSectionToggle (section);
        ASSERT_NE (toggle, nullptr);
        EXPECT_TRUE (toggle->isOn()) << section;

        click (*toggle);
        EXPECT_TRUE (rig.host.sections[(size_t) section]) << "not inside the mouse handler";
        EXPECT_TRUE (pumpMessagesUntil ([&] { return ! rig.host.sections[(size_t) section]; })) << section;
        EXPECT_FALSE (toggle->isOn());

        click (*toggle);
        EXPECT_TRUE (pumpMessagesUntil ([&] { return rig.host.sections[(size_t) section]; })) << section;
        EXPECT_TRUE (toggle->isOn());
    }

    // What the main component read from the preferences (the bar is made before them).
    rig.host.sections[4] = false;
    rig.host.sections[10] = false;
    rig.bar.refreshSectionToggles();
    EXPECT_FALSE (rig.bar.getSectionToggle (4)->isOn());
    EXPECT_FALSE (rig.bar.getSectionToggle (10)->isOn());
    EXPECT_TRUE (rig.bar.getSectionToggle (5)->isOn());
}

TEST (BottomComponent, LearnSwitchesLearnModeAtOnce)
{
    BottomBarRig rig;
    click (rig.bar.getLearnToggle());
    EXPECT_TRUE (rig.host.learnMode);
    click (rig.bar.getLearnToggle());
    EXPECT_FALSE (rig.host.learnMode);
}

// Held, a wind button skips through the preview (4 s every quarter second);
// released, the preview plays on at its normal pace. The play toggle starts
// and stops it.
TEST (BottomComponent, PreviewButtonsWindWhileHeldAndPlayToggleStartsAndStops)
{
    TempFolder folder;
    const double length = 60.0;
    const auto track = writeTrack (folder, "long.wav", length);
    BottomBarRig rig;
    auto& engine = *rig.engine;
    rig.bar.loadPreview (track.getFullPathName());
    ASSERT_TRUE (rig.bar.getPlayToggle().isOn());

    struct Case
    {
        const char* name;
        KelButton& button;
        double start;
        double afterHold; // at least this far forward (negative: back)
    };
    const Case cases[] = {
        { "fast-forward", rig.bar.getFastForwardButton(), 10.0, 4.0 },
        { "rewind", rig.bar.getRewindButton(), 40.0, -4.0 },
    };
    for (const auto& c : cases)
    {
        engine.setPositionFraction (Engine::previewChannel, c.start / length);
        runEngine (engine, 0.01);
        const double before = previewSeconds (engine, length);

        const auto e = mouseEventAt (c.button, { 7, 7 });
        c.button.mouseDown (e);
        runEngine (engine, 0.5);
        const double held = previewSeconds (engine, length) - before;
        c.button.mouseUp (e);
        runEngine (engine, 0.01);
        const double released = previewSeconds (engine, length);
        runEngine (engine, 1.0);
        const double after = previewSeconds (engine, length) - released;

        if (c.afterHold > 0)
            EXPECT_GT (held, c.afterHold) << c.name;
        else
            EXPECT_LT (held, c.afterHold) << c.name;
        EXPECT_NEAR (after, 1.0, 0.05) << c.name << ": plays on at its pace once released";
    }

    click (rig.bar.getPlayToggle());
    EXPECT_FALSE (rig.bar.getPlayToggle().isOn());
    const double stopped = previewSeconds (engine, length);
    runEngine (engine, 0.5);
    EXPECT_DOUBLE_EQ (previewSeconds (engine, length), stopped);

    click (rig.bar.getPlayToggle());
    runEngine (engine, 0.5);
    EXPECT_NEAR (previewSeconds (engine, length) - stopped, 0.5, 0.02);
}

// The play toggle lights only when the song really loaded; a failed load
// leaves the title and the toggle as they were.
TEST (BottomComponent, PlayToggleLightsOnlyForASongThatLoads)
{
    TempFolder folder;
    const auto good = writeTrack (folder, "good.wav", 2.0);
    const auto broken = folder.file ("broken.wav");
    ASSERT_TRUE (broken.replaceWithText ("not audio"));
    const juce::String failures[] = { folder.file ("missing.wav").getFullPathName(), broken.getFullPathName(),
                                      "good.wav", folder.get().getFullPathName(), {} };

    BottomBarRig rig;
    auto& play = rig.bar.getPlayToggle();
    const auto& title = rig.bar.getPreviewStrip().getTitle();
    for (const auto& path : failures)
    {
        rig.bar.loadPreview (path);
        EXPECT_FALSE (play.isOn()) << path;
        EXPECT_FALSE (title.isVisible()) << path;
    }

    rig.bar.loadPreview (good.getFullPathName());
    EXPECT_TRUE (play.isOn());
    EXPECT_EQ (title.getText(), "good.wav");
    EXPECT_TRUE (title.isVisible());

    click (play);
    ASSERT_FALSE (play.isOn());
    rig.bar.loadPreview (broken.getFullPathName());
    EXPECT_FALSE (play.isOn()) << "the stopped preview stays stopped";
    EXPECT_EQ (title.getText(), "good.wav");
}

// A press on the strip, or on the title over it, seeks the preview to that
// fraction of the track.
TEST (BottomComponent, PressOnTheStripSeeksThePreview)
{
    TempFolder folder;
    const auto track = writeTrack (folder, "seek.wav", 10.0);
    BottomBarRig rig;
    auto& strip = rig.bar.getPreviewStrip();
    rig.bar.loadPreview (track.getFullPathName());
    click (rig.bar.getPlayToggle()); // stopped, so that the position stays where the press put it
    runEngine (*rig.engine, 0.01);

    struct Case
    {
        juce::Component* pressed;
        int x;
        double fraction;
    };
    auto& title = const_cast<ScrollTextComponent&> (strip.getTitle());
    for (const auto c : { Case { &strip, strip.getWidth() / 2, 0.5 }, Case { &strip, strip.getWidth() / 4, 0.25 },
                          Case { &title, title.getWidth() / 2, 0.5 } })
    {
        c.pressed->mouseDown (mouseEventAt (*c.pressed, { c.x, 5 }));
        runEngine (*rig.engine, 0.01);
        EXPECT_NEAR (rig.engine->getPositionFraction (Engine::previewChannel), c.fraction, 0.001) << c.x;
    }
}

// Orange up to the play position, grey after it, in a black frame; grey all
// over with nothing loaded; lighter while a song hovers over it.
TEST (BottomComponent, StripShowsThePlayedPartInOrange)
{
    TempFolder folder;
    const auto track = writeTrack (folder, "show.wav", 10.0);
    BottomBarRig rig;
    auto& strip = rig.bar.getPreviewStrip();
    const int w = strip.getWidth(), h = strip.getHeight();
    const juce::Colour orange (0xffffa500), grey = juce::Colour::greyLevel (0.5f);

    auto image = snapshotOf (strip);
    EXPECT_EQ (image.getPixelAt (w / 4, h / 2), grey);
    EXPECT_EQ (image.getPixelAt (3 * w / 4, h / 2), grey);
    for (const auto p : { juce::Point<int> (0, h / 2), { w - 1, h / 2 }, { w / 2, 0 }, { w / 2, h - 1 } })
        EXPECT_EQ (image.getPixelAt (p.x, p.y), juce::Colours::black) << p.toString();

    rig.bar.loadPreview (track.getFullPathName());
    click (rig.bar.getPlayToggle());
    rig.engine->setPositionFraction (Engine::previewChannel, 0.5);
    runEngine (*rig.engine, 0.01);
    // Left and right of the centred title.
    image = snapshotOf (strip);
    EXPECT_EQ (image.getPixelAt (5, h / 2), orange);
    EXPECT_EQ (image.getPixelAt (w - 5, h / 2), grey);

    SongTableStandIn table;
    strip.itemDragEnter (dragOf (WaveDropTarget::songTableDescription, &table));
    image = snapshotOf (strip);
    EXPECT_EQ (image.getPixelAt (5, h / 2), orange.brighter (0.3f));
    EXPECT_EQ (image.getPixelAt (w - 5, h / 2), grey.brighter (0.3f));
    strip.itemDragExit (dragOf (WaveDropTarget::songTableDescription, &table));
    EXPECT_EQ (snapshotOf (strip).getPixelAt (5, h / 2), orange);
}

// Song-table rows and single audio files dropped on the strip are previewed;
// anything else is refused or loads nothing.
TEST (BottomComponent, DropsOnTheStripFollowTheWaveformViewsRules)
{
    TempFolder folder;
    const auto song = writeTrack (folder, "song.wav", 1.0);
    const auto other = writeTrack (folder, "other.wav", 1.0);
    BottomBarRig rig;
    auto& strip = rig.bar.getPreviewStrip();
    const auto& title = strip.getTitle();
    SongTableStandIn table;
    juce::Component stranger;

    EXPECT_TRUE (strip.isInterestedInDragSource (dragOf ("StringTableListBox", &table)));
    EXPECT_FALSE (strip.isInterestedInDragSource (dragOf ("Somewhere else", &table)));

    table.selected = folder.file ("notes.txt").getFullPathName();
    strip.itemDropped (dragOf ("StringTableListBox", &table));
    table.selected = "song.wav";
    strip.itemDropped (dragOf ("StringTableListBox", &table));
    table.selected = song.getFullPathName();
    strip.itemDropped (dragOf ("StringTableListBox", &stranger));
    strip.itemDropped (dragOf ("StringTableListBox", nullptr));
    EXPECT_FALSE (rig.bar.getPlayToggle().isOn()) << "unsupported, relative, foreign or vanished sources";

    strip.itemDropped (dragOf ("StringTableListBox", &table));
    EXPECT_EQ (title.getText(), "song.wav");
    EXPECT_TRUE (rig.bar.getPlayToggle().isOn());

    EXPECT_FALSE (strip.isInterestedInFileDrag ({ other.getFullPathName(), song.getFullPathName() }));
    EXPECT_FALSE (strip.isInterestedInFileDrag ({ "other.wav" }));
    ASSERT_TRUE (strip.isInterestedInFileDrag ({ other.getFullPathName() }));
    strip.filesDropped ({ other.getFullPathName() }, 5, 5);
    EXPECT_EQ (title.getText(), "other.wav");
}

// A song dropped from the desktop whose name the program cannot hold is not
// previewed; a Latin-1 one it can hold is, under its own name.
TEST (BottomComponent, DesktopDropsOfNamesTheProgramCannotHoldAreNotPreviewed)
{
    TempFolder folder;
    BottomBarRig rig;
    auto& strip = rig.bar.getPreviewStrip();
    auto dropped = [&] (const std::string& nameBytes) {
        const auto track = writeTrack (folder, "plain.wav", 1.0);
        EXPECT_TRUE (renameTo (track, folder.get(), nameBytes));
        const auto bytes = pathIn (folder.get(), nameBytes);
        const juce::String path (juce::CharPointer_UTF8 (bytes.data()), juce::CharPointer_UTF8 (bytes.data() + bytes.size()));
        if (strip.isInterestedInFileDrag ({ path }))
            strip.filesDropped ({ path }, 5, 5);
    };

    for (const auto* name : { "5\x80 name.wav", "voil\xe0.wav", "\xc1\xa1.wav" })
        dropped (name);
    EXPECT_FALSE (rig.bar.getPlayToggle().isOn());

    dropped ("caf\xe9.wav");
    EXPECT_TRUE (rig.bar.getPlayToggle().isOn());
    EXPECT_EQ (strip.getTitle().getText().toStdString(), "caf\xe9.wav");
}

// The record button is a red dot, brighter while lit; on, it blinks.
TEST (BottomComponent, RecordButtonBlinksRedWhileOn)
{
    BottomBarRig rig;
    auto& record = rig.bar.getRecordButton();
    const auto centre = record.getLocalBounds().getCentre();
    const auto dot = [&] { return snapshotOf (record).getPixelAt (centre.x, centre.y); };
    const juce::Colour red (0xffff0000);

    EXPECT_EQ (dot(), red);
    record.setToggleState (true, false);
    ASSERT_TRUE (pumpMessagesUntil ([&] { return record.isBlinkRunning(); }));
    bool sawLit = false, sawUnlit = false;
    pumpMessagesUntil ([&] {
        (dot() == red.brighter (0.6f) ? sawLit : sawUnlit) = true;
        return sawLit && sawUnlit;
    }, 1500);
    EXPECT_TRUE (sawLit);
    EXPECT_TRUE (sawUnlit);

    record.setToggleState (false, false);
    pumpMessages (20);
    EXPECT_EQ (dot(), red);
}

// Without skin images the preview buttons carry their symbols; every other
// widget has its caption.
TEST (BottomComponent, PreviewButtonsDrawTheirSymbolsWithoutSkinImages)
{
    BottomBarRig rig;
    for (auto* button : std::initializer_list<juce::Component*> { &rig.bar.getRewindButton(),
                                                                  &rig.bar.getPlayToggle(),
                                                                  &rig.bar.getFastForwardButton() })
    {
        const auto image = snapshotOf (*button);
        int light = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                light += image.getPixelAt (x, y).getBrightness() > 0.7f ? 1 : 0;
        EXPECT_GE (light, 12) << "a light symbol";
        EXPECT_LT (image.getPixelAt (2, 2).getBrightness(), 0.5f) << "on the dark button face";
    }
}

// INFO and Preferences open their windows once the press has been handled;
// without a panel Preferences shows nothing.
TEST (BottomComponent, InfoAndPreferencesOpenAfterThePress)
{
    BottomBarRig rig;
    click (rig.bar.getInfoButton());
    EXPECT_EQ (rig.dialogs->aboutBoxesShown, 0) << "not inside the mouse handler";
    EXPECT_TRUE (pumpMessagesUntil ([&] { return rig.dialogs->aboutBoxesShown == 1; }));

    click (rig.bar.getPreferencesButton());
    pumpMessages (30);
    EXPECT_EQ (rig.dialogs->preferencesShown, nullptr);

    juce::Component panel;
    rig.bar.setPreferencesComponent (&panel);
    click (rig.bar.getPreferencesButton());
    EXPECT_EQ (rig.dialogs->preferencesShown, nullptr);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return rig.dialogs->preferencesShown == &panel; }));
    EXPECT_EQ (rig.dialogs->centredOn, &rig.bar);
}

// Without "background.png" the bar draws its own dark face; with it, the
// image is tiled over the whole bar.
TEST (BottomComponent, BackgroundBrushFillsTheBar)
{
    BottomBarRig rig;
    // Points between and around the widgets.
    const auto plain = snapshotOf (rig.bar);
    EXPECT_LT (plain.getPixelAt (200, 10).getBrightness(), 0.3f);

    juce::Image tile (juce::Image::ARGB, 4, 4, true);
    tile.clear (tile.getBounds(), juce::Colour (0xff3050a0));
    const juce::FillType brush (tile, {});
    BottomComponent::setBackgroundBrush (&brush);
    const auto skinned = snapshotOf (rig.bar);
    BottomComponent::setBackgroundBrush (nullptr);
    for (const auto p : { juce::Point<int> (200, 1), { 700, 19 }, { 1, 10 } })
        EXPECT_EQ (skinned.getPixelAt (p.x, p.y), juce::Colour (0xff3050a0)) << p.toString();
}
