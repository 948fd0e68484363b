#include "ScriptedDialogs.h"

#include "common/text/SafeStringBytes.h"
#include "library/browser/FileSystemRoots.h"
#include "library/browser/ID3ViewComponent.h"
#include "library/browser/MagnifyingGlassButton.h"
#include "library/browser/ResizerComponent.h"
#include "library/browser/SongTableColumns.h"
#include "library/browser/TextEditorEx.h"
#include "library/browser/ZundBrowser.h"
#include "library/browser/ZundBrowserListener.h"
#include "library/browser/ZundBrowserVolumesChangedNotifierThread.h"
#include "library/database/ID3DataBase.h"
#include "library/tree/ZundFileTreeComponent.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

using namespace zund;

namespace
{
struct ListenerRecord : public ZundBrowserListener
{
    juce::StringArray selected, chosen;
    juce::Array<int> keys;

    void browserItemSelected (juce::String path) override { selected.add (path); }
    void songChosen (const juce::String& path) override { chosen.add (path); }
    bool browserKeyPressed (const juce::KeyPress& key) override
    {
        keys.add (key.getKeyCode());
        return true;
    }
};

// A browser on a program folder of its own, with a tree file when given one.
struct BrowserRig
{
    test::ScopedProgramFolder program;
    std::unique_ptr<ZundBrowser> browser;
    ListenerRecord listener;

    explicit BrowserRig (const juce::String& treeXml = {}, int width = 1022)
    {
        if (treeXml.isNotEmpty())
            program.file ("TreeView.xml").replaceWithText (treeXml);
        browser = std::make_unique<ZundBrowser>();
        browser->setListener (&listener);
        browser->setBounds (0, 0, width, 400);
    }

    bool waitUntilIdle()
    {
        auto& table = browser->getSongTable();
        const bool done = test::pumpMessagesUntil ([&] { return ! table.isWorking() && ! browser->getWorkingLabel().isVisible(); }, 20000);
        test::pumpMessages (20);
        return done;
    }

    void addRecord (const juce::String& path, const juce::String& artist)
    {
        auto record = std::make_unique<ID3DataBaseEntry>();
        record->filename = path;
        record->artist = artist;
        record->setValid();
        browser->getDatabase()->insertEntry (std::move (record));
    }

    void type (const juce::String& text)
    {
        browser->getSearchField().setText (text, true);
        test::pumpMessages (10);
        waitUntilIdle();
    }
};
}

TEST (Browser, aTinyOrMissingTreeWidthStillLeavesBothSidesUsable)
{
    BrowserRig rig ("<TreeView/>"); // an older file: no lastWidth, read as 10
    auto& tree = rig.browser->getTree();
    auto& table = rig.browser->getSongTable();
    EXPECT_GE (tree.getWidth(), 50);
    EXPECT_GE (table.getWidth(), 50);
    EXPECT_LE (tree.getRight(), table.getX()) << "the tree and the table do not overlap";

    rig.browser->setSize (120, 400);
    EXPECT_GE (tree.getWidth(), 50);
    EXPECT_EQ (table.getRight(), 120);

    // The splitter stops short of either edge.
    rig.browser->setSize (1022, 400);
    auto& splitter = rig.browser->getResizer();
    splitter.mouseDown (test::mouseEventAt (splitter, { 2, 100 }));
    auto far = test::mouseEventAt (splitter, { 2, 100 });
    splitter.mouseDrag (far.withNewPosition (juce::Point<float> (-2000.0f, 100.0f)));
    EXPECT_GE (tree.getWidth(), 50);
    splitter.mouseDrag (far.withNewPosition (juce::Point<float> (2000.0f, 100.0f)));
    EXPECT_GE (table.getWidth(), 50);
    EXPECT_EQ (table.getRight(), 1022);
}

TEST (Browser, theTreeColumnComesBackAtTheWidthItWasLeftAt)
{
    BrowserRig rig ("<TreeView lastWidth=\"250\"/>");
    EXPECT_EQ (rig.browser->getTree().getWidth(), 250);
    rig.browser.reset();

    BrowserRig again (rig.program.file ("TreeView.xml").loadFileAsString());
    EXPECT_EQ (again.browser->getTree().getWidth(), 250) << "the column must not creep";
}

TEST (Browser, searchWordsFilterTheDatabaseAndTheFieldMenuChoosesWhere)
{
    BrowserRig rig;
    rig.addRecord ("/music/house/one.mp3", "Daft Punk");
    rig.addRecord ("/music/house/two.mp3", "Moby");
    rig.addRecord ("/music/techno/three.mp3", "Daft Punk");

    rig.type ("   ");
    EXPECT_EQ (rig.browser->getSongTable().getNumRows(), 3) << "only spaces shows the whole database";
    EXPECT_EQ (rig.browser->getFilesLabel().getText(), "Files: 3/3");

    rig.type ("daft house");
    EXPECT_EQ (rig.browser->getSongTable().getNumRows(), 1);
    EXPECT_EQ (rig.browser->getSongTable().getSelectedFile(), "/music/house/one.mp3");

    rig.type ("three");
    EXPECT_EQ (rig.browser->getSongTable().getNumRows(), 1);

    // "Filename" is the second menu item: untick it.
    auto& menu = rig.browser->getFieldMenu();
    menu.mouseMove (test::mouseEventAt (menu, { 50, 25 }));
    menu.mouseDown (test::mouseEventAt (menu, { 50, 25 }));
    ASSERT_FALSE (menu.isChecked (2));
    test::pumpMessages (10);
    rig.waitUntilIdle();
    EXPECT_EQ (rig.browser->getSongTable().getNumRows(), 0);
}

TEST (Browser, clicksAndUnusedKeysReachTheListener)
{
    BrowserRig rig;
    const auto song = rig.program.file ("song.wav");
    song.create();
    rig.addRecord (song.getFullPathName(), "Someone");
    rig.type ("someone");
    auto& table = rig.browser->getSongTable();
    ASSERT_EQ (table.getNumRows(), 1);

    const auto left = test::mouseEventAt (table, { 10, 30 }, juce::ModifierKeys::leftButtonModifier);
    rig.browser->cellClicked (&table, 0, SongTableColumns::artist, left);
    rig.browser->cellDoubleClicked (&table, 0, SongTableColumns::artist, left);
    EXPECT_EQ (rig.listener.selected, juce::StringArray ({ song.getFullPathName() }));
    EXPECT_EQ (rig.listener.chosen, juce::StringArray ({ song.getFullPathName() }));

    // A right click opens the tag editor and reports nothing; a WAV's tags
    // live in the database only.
    test::ScriptedDialogs dialogs ({ 0 }, "Someone Else");
    const auto right = test::mouseEventAt (table, { 10, 30 }, juce::ModifierKeys::rightButtonModifier);
    rig.browser->cellClicked (&table, 0, SongTableColumns::artist, right);
    EXPECT_EQ (rig.listener.selected.size(), 1);
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return ! dialogs.asked.isEmpty(); }));
    EXPECT_EQ (dialogs.asked, juce::StringArray ({ "Enter new value!" }));
    EXPECT_EQ (dialogs.shownTexts[0], "Someone");
    EXPECT_EQ (table.getCellText (SongTableColumns::artist - 1, 0), "Someone Else");

    EXPECT_TRUE (rig.browser->keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    EXPECT_EQ (rig.listener.keys, juce::Array<int> ({ juce::KeyPress::returnKey }));
}

TEST (Browser, theSearchButtonAndIconsHaveVectorForms)
{
    BrowserRig rig;
    auto& button = rig.browser->getFindButton();
    const auto image = test::snapshotOf (button);
    int blue = 0, white = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto c = image.getPixelAt (x, y);
            blue += c == juce::Colour (0xff0000ff) ? 1 : 0;
            white += c.getBrightness() > 0.95f && c.getSaturation() < 0.1f ? 1 : 0;
        }
    EXPECT_GT (blue, 100);
    EXPECT_GT (white, 20) << "the glass";
}

TEST (DriveRoots, userVolumesFromTheMountTableWithTheirKinds)
{
    const std::string mounts = "sysfs /sys sysfs rw 0 0\n"
                                "/dev/sda2 / ext4 rw 0 0\n"
                                "/dev/sda3 /home ext4 rw 0 0\n"
                                "/dev/sdb1 /media/dj/USB\\040STICK vfat rw 0 0\n"
                                "/dev/sr0 /run/media/dj/CD iso9660 ro 0 0\n"
                                "/dev/sda4 /mnt/archive ext4 rw 0 0\n"
                                "/dev/sdb1 /media/dj/USB\\040STICK vfat rw 0 0\n"
                                "server:/music /mnt/nas nfs rw 0 0\n"
                                "/dev/sdc1 /media/dj/VOIL\xe0 vfat rw 0 0\n"       // Latin-1 names the
                                "/dev/sdc2 /media/dj/\x80\\040Mix vfat rw 0 0\n"  // program cannot hold
                                "/dev/sdc3 /media/dj/Caf\xe9\\040Mix vfat rw 0 0\n";
    const auto roots = parseFileSystemRoots (mounts, [] (const juce::String& device) { return device == "sdb1"; });

    const std::vector<FileSystemRoot> expected {
        { "/", FileSystemRoot::Kind::fixedDisk },
        { "/media/dj/USB STICK", FileSystemRoot::Kind::removable },
        { "/run/media/dj/CD", FileSystemRoot::Kind::cdRom },
        { "/mnt/archive", FileSystemRoot::Kind::fixedDisk },
        { "/mnt/nas", FileSystemRoot::Kind::fixedDisk },
        { stringOfSafeBytes (std::string ("/media/dj/Caf\xe9 Mix")), FileSystemRoot::Kind::fixedDisk },
    };
    EXPECT_TRUE (roots == expected);
    ASSERT_FALSE (readFileSystemRoots().empty());
    EXPECT_EQ (readFileSystemRoots().front().path, "/");
}

TEST (DriveRoots, theWatcherTellsOfAChangedSetWithinHalfASecond)
{
    std::mutex lock;
    std::vector<FileSystemRoot> current { { "/", FileSystemRoot::Kind::fixedDisk }, { "/media/a", FileSystemRoot::Kind::removable } };
    ZundBrowserVolumesChangedNotifierThread watcher ([&] {
        const std::lock_guard<std::mutex> guard (lock);
        return current;
    });

    struct Counter : juce::ChangeListener
    {
        int changes = 0;
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++changes; }
    } counter;
    watcher.addChangeListener (&counter);
    watcher.startThread();

    test::pumpMessages (700);
    EXPECT_EQ (counter.changes, 0);

    {
        const std::lock_guard<std::mutex> guard (lock);
        current[1].path = "/media/b"; // one stick swapped for another: same count
    }
    EXPECT_TRUE (test::pumpMessagesUntil ([&] { return counter.changes == 1; }, 1500));

    watcher.stopThread (-1);
    watcher.removeChangeListener (&counter);
}

TEST (Browser, aRightClickEditsTheSongClickedEvenWhenASortMovesItFirst)
{
    BrowserRig rig;
    for (auto [name, artist] : { std::pair { "a.wav", "Alpha" }, { "b.wav", "Bravo" } })
    {
        const auto song = rig.program.file (name);
        song.create();
        rig.addRecord (song.getFullPathName(), artist);
    }
    rig.type ("wav");
    auto& table = rig.browser->getSongTable();
    ASSERT_EQ (table.getCellText (SongTableColumns::artist - 1, 0), "Alpha");

    test::ScriptedDialogs dialogs ({ 0 }, "Alpha Beta");
    const auto right = test::mouseEventAt (table, { 10, 30 }, juce::ModifierKeys::rightButtonModifier);
    rig.browser->cellClicked (&table, 0, SongTableColumns::artist, right);
    table.reorderRows ({ 1, 0 }); // a sort lands before the editor opens

    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return ! dialogs.asked.isEmpty(); }));
    EXPECT_EQ (dialogs.shownTexts[0], "Alpha") << "the editor opened on another song";
    EXPECT_EQ (table.getCellText (SongTableColumns::artist - 1, 1), "Alpha Beta");
    EXPECT_EQ (table.getCellText (SongTableColumns::artist - 1, 0), "Bravo");
}
