#include "ScriptedDialogs.h"
#include "SongTableRig.h"

#include "library/browser/SongTableColumns.h"
#include "library/tree/ZundFileTreeComponent.h"
#include "library/tree/ZundFileTreeItem.h"
#include "library/tree/ZundFileTreeItemComponent.h"
#include "support/OddNames.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
// A tree on the rig's table and database, from a tree file in the rig's folder.
struct TreeRig : test::SongTableRig
{
    juce::File treeFile = temp.file ("TreeView.xml");
    juce::File music = temp.file ("music");
    std::unique_ptr<ZundFileTreeComponent> tree;

    explicit TreeRig (const juce::String& treeXml = {})
    {
        music.createDirectory();
        if (treeXml.isNotEmpty())
            treeFile.replaceWithText (treeXml.replace ("$MUSIC", music.getFullPathName()));
        makeTree();
    }

    ~TreeRig() override { tree.reset(); }

    void makeTree()
    {
        tree = std::make_unique<ZundFileTreeComponent> (treeFile, table.get(), database.get());
        tree->setBounds (0, 0, 300, 600);
        table->setTree (tree.get());
    }

    ZundFileTreeItem* child (ZundFileTreeItem* parent, int index) const
    {
        return static_cast<ZundFileTreeItem*> (parent->getSubItem (index));
    }

    juce::StringArray driveNames() const
    {
        juce::StringArray names;
        auto* root = tree->getRootItem();
        for (int i = 0; i < root->getNumSubItems(); ++i)
            if (auto* item = static_cast<ZundFileTreeItem*> (root->getSubItem (i)); item->isDrive())
                names.add (item->getName());
        return names;
    }
};

const char* const treeWithOneOfEach =
    "<TreeView lastWidth=\"200\"><songFolders><SongFolder0 name=\"Music\" path=\"$MUSIC\"/></songFolders>"
    "<cases><Case0 name=\"Gig\"><files file0=\"/m/a.mp3\" file1=\"/m/b.mp3\"/></Case0></cases></TreeView>";
}

TEST (FileTree, aDriveChangeKeepsCasesSongFoldersAndThePlaylist)
{
    TreeRig rig (treeWithOneOfEach);
    rig.tree->addToCurrentPlaylist ("/m/played.mp3");
    auto* gig = rig.child (rig.tree->getCasesItem(), 1);
    gig->setSelected (true, true);
    ASSERT_TRUE (rig.waitUntilIdle());

    rig.tree->refreshRoots ({ { "/", FileSystemRoot::Kind::fixedDisk }, { "/media/stick", FileSystemRoot::Kind::removable } });
    rig.tree->refreshRoots ({ { "/", FileSystemRoot::Kind::fixedDisk }, { "/media/disc", FileSystemRoot::Kind::cdRom } });

    EXPECT_EQ (rig.driveNames(), juce::StringArray ({ "/", "/media/disc" }));
    ASSERT_EQ (rig.tree->getCasesItem()->getNumSubItems(), 2);
    EXPECT_EQ (rig.tree->getCurrentPlaylistItem()->getFiles(), juce::StringArray ({ "/m/played.mp3" }));
    EXPECT_EQ (rig.child (rig.tree->getCasesItem(), 1), gig);
    EXPECT_EQ (rig.tree->getSongFolders(), juce::StringArray ({ rig.music.getFullPathName() }));
    EXPECT_TRUE (rig.table->isShowingCase (&gig->getFiles())) << "the shown case was not touched";
    EXPECT_EQ (rig.table->getNumRows(), 2);
}

TEST (FileTree, theDatabaseFollowsTheSongFoldersAndAGoneCaseLeavesTheTable)
{
    TreeRig rig (treeWithOneOfEach);
    const auto musicPath = rig.music.getFullPathName();
    EXPECT_TRUE (rig.database->isSongFolder (musicPath));

    auto* gig = rig.child (rig.tree->getCasesItem(), 1);
    gig->setSelected (true, true);
    ASSERT_TRUE (rig.waitUntilIdle());
    {
        test::ScriptedDialogs dialogs ({ 0 }); // "Really delete Case?" OK
        rig.tree->deleteSelectedItem();
    }
    EXPECT_EQ (rig.tree->getCasesItem()->getNumSubItems(), 1);
    EXPECT_EQ (rig.table->getNumRows(), 0);
    EXPECT_EQ (rig.table->getMode(), ID3ViewComponent::noMode) << "no list of a deleted case stays behind";

    rig.child (rig.tree->getSongFoldersItem(), 0)->setSelected (true, true);
    test::ScriptedDialogs dialogs ({ 0, 1 }); // delete it, but keep its files in the database
    rig.tree->deleteSelectedItem();
    EXPECT_EQ (dialogs.asked, juce::StringArray ({ "Delete Song Folder", "Delete Song Folder" }));
    EXPECT_EQ (rig.tree->getSongFoldersItem()->getNumSubItems(), 0);
    EXPECT_FALSE (rig.database->isSongFolder (musicPath));
}

TEST (FileTree, treeFileRoundTripKeepsWidthFoldersAndCases)
{
    TreeRig rig (treeWithOneOfEach);
    EXPECT_EQ (rig.tree->getLastWidth(), 200);
    rig.tree->setSize (180, 600);
    rig.tree->addToCurrentPlaylist ("/m/played.mp3");
    rig.child (rig.tree->getCasesItem(), 1)->getFiles().add ("/m/a.mp3");
    rig.tree.reset();

    rig.makeTree();
    EXPECT_EQ (rig.tree->getLastWidth(), 180);
    ASSERT_EQ (rig.tree->getCasesItem()->getNumSubItems(), 2);
    EXPECT_EQ (rig.child (rig.tree->getCasesItem(), 1)->getFiles(),
               juce::StringArray ({ "/m/a.mp3", "/m/b.mp3", "/m/a.mp3" }));
    EXPECT_TRUE (rig.tree->getCurrentPlaylistItem()->getFiles().isEmpty()) << "the playlist lives for one run";
    EXPECT_EQ (rig.tree->getSongFolders(), juce::StringArray ({ rig.music.getFullPathName() }));
}

TEST (FileTree, anUnreadableTreeFileIsKeptAsideNotOverwritten)
{
    TreeRig rig ("<TreeView><cases><Case0 name=\"Gig\">");
    EXPECT_TRUE (rig.tree->getLoadWarning().isNotEmpty());
    EXPECT_EQ (rig.tree->getLastWidth(), TreeViewFile::widthWithoutFile);
    rig.tree.reset();

    const auto aside = rig.temp.get().findChildFiles (juce::File::findFiles, false, "TreeView.xml.bad-*");
    ASSERT_EQ (aside.size(), 1);
    EXPECT_TRUE (aside[0].loadFileAsString().startsWith ("<TreeView><cases>"));
    EXPECT_TRUE (rig.treeFile.existsAsFile()) << "a fresh file beside the kept one";
}

TEST (FileTree, rowsDroppedOnACaseJoinItInRowOrderAndAreMarked)
{
    TreeRig rig (treeWithOneOfEach);
    for (auto name : { "x.wav", "y.wav", "z.wav" })
        rig.music.getChildFile (name).create();
    auto* musicItem = rig.child (rig.tree->getSongFoldersItem(), 0);
    musicItem->setSelected (true, true);
    ASSERT_TRUE (rig.waitUntilIdle());

    juce::SparseSet<int> rows;
    rows.addRange ({ 2, 3 });
    rows.addRange ({ 0, 1 });
    rig.table->setSelectedRows (rows);

    auto* gig = rig.child (rig.tree->getCasesItem(), 1);
    ZundFileTreeItemComponent caseComponent (*gig);
    ZundFileTreeItemComponent playlistComponent (*rig.tree->getCurrentPlaylistItem());
    const juce::DragAndDropTarget::SourceDetails drag ("StringTableListBox", rig.table.get(), {});
    EXPECT_FALSE (playlistComponent.isInterestedInDragSource (drag));
    ASSERT_TRUE (caseComponent.isInterestedInDragSource (drag));
    EXPECT_FALSE (caseComponent.isInterestedInDragSource ({ juce::var ("Files"), rig.table.get(), juce::Point<int>() }));

    caseComponent.itemDragEnter (drag);
    EXPECT_TRUE (caseComponent.isDragHovering());
    caseComponent.itemDropped (drag);
    const juce::StringArray expected { "/m/a.mp3", "/m/b.mp3", rig.music.getChildFile ("x.wav").getFullPathName(),
                                       rig.music.getChildFile ("z.wav").getFullPathName() };
    EXPECT_EQ (gig->getFiles(), expected);
    EXPECT_EQ (rig.table->getRowState (0), StringTableRow::addedToCase);
    EXPECT_EQ (rig.table->getRowState (1), StringTableRow::normal);
}

TEST (FileTree, anOpenedFolderListsItsVisibleSubFoldersByName)
{
    TreeRig rig (treeWithOneOfEach);
    for (auto name : { "b", "A", "c10", "c9", ".hidden" })
        rig.music.getChildFile (name).createDirectory();

    auto* musicItem = rig.child (rig.tree->getSongFoldersItem(), 0);
    EXPECT_TRUE (musicItem->mightContainSubItems());
    musicItem->setOpen (true);
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return musicItem->getNumSubItems() == 4; }));

    juce::StringArray names;
    for (int i = 0; i < musicItem->getNumSubItems(); ++i)
        names.add (rig.child (musicItem, i)->getName());
    EXPECT_EQ (names, juce::StringArray ({ "A", "b", "c9", "c10" }));
    EXPECT_EQ (rig.child (musicItem, 1)->getFullPath(), rig.music.getChildFile ("b").getFullPathName());
    EXPECT_FALSE (rig.child (musicItem, 0)->mightContainSubItems());
}

TEST (FileTree, subFoldersTheProgramCannotHoldAreLeftOutAndTheRestListed)
{
    TreeRig rig (treeWithOneOfEach);
    for (const auto& name : test::oddSongNames())
        ASSERT_TRUE (test::makeFolderNamed (rig.music, name.bytes)) << name.what;
    rig.music.getChildFile ("plain").createDirectory();

    auto* musicItem = rig.child (rig.tree->getSongFoldersItem(), 0);
    EXPECT_TRUE (musicItem->mightContainSubItems());
    musicItem->setOpen (true);
    ASSERT_TRUE (test::pumpMessagesUntil ([&] { return musicItem->getNumSubItems() == 3; }));
    test::pumpMessages (50);
    EXPECT_EQ (musicItem->getNumSubItems(), 3);

    juce::StringArray names;
    for (int i = 0; i < musicItem->getNumSubItems(); ++i)
        names.add (rig.child (musicItem, i)->getName());
    EXPECT_TRUE (names.contains ("plain"));
    EXPECT_TRUE (names.contains (juce::CharPointer_UTF8 ("caf\xc3\xa9 \xe2\x82\xac.mp3")));
}

TEST (FileTree, aFolderHoldingOnlyNamesTheProgramCannotHoldHasNoSubItems)
{
    TreeRig rig (treeWithOneOfEach);
    ASSERT_TRUE (test::makeFolderNamed (rig.music, "5\x80 name"));
    ASSERT_TRUE (test::makeFolderNamed (rig.music, ".hidden"));
    EXPECT_FALSE (rig.child (rig.tree->getSongFoldersItem(), 0)->mightContainSubItems());
}

TEST (FileTree, topLevelItemsDrawTheirIconsWithoutSkinImages)
{
    TreeRig rig;
    rig.tree->refreshRoots ({ { "/", FileSystemRoot::Kind::fixedDisk },
                              { "/media/cd", FileSystemRoot::Kind::cdRom },
                              { "/media/stick", FileSystemRoot::Kind::removable } });

    juce::Array<juce::uint32> iconColours;
    auto* root = rig.tree->getRootItem();
    for (int i = 0; i < root->getNumSubItems(); ++i)
    {
        ZundFileTreeItemComponent component (*static_cast<ZundFileTreeItem*> (root->getSubItem (i)));
        component.setSize (200, ZundFileTreeItem::itemHeight);
        const auto image = test::snapshotOf (component);

        // The icon's own colours, in the 16 x 16 area at x 2.
        juce::uint32 sum = 0;
        int drawn = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 2; x < 18; ++x)
                if (const auto c = image.getPixelAt (x, y); c.getAlpha() > 0)
                {
                    ++drawn;
                    sum += c.getARGB() % 65521;
                }
        EXPECT_GT (drawn, 40) << "item " << i;
        iconColours.addIfNotAlreadyThere (sum);
    }
    EXPECT_EQ (iconColours.size(), 6) << "each kind of item has its own icon";
}

TEST (FileTree, aBrowsedSongIsKeptInTheDatabaseOnlyWhenItLiesInASongFolder)
{
    TreeRig rig (treeWithOneOfEach);
    const auto elsewhere = rig.temp.file ("elsewhere");
    elsewhere.createDirectory();
    const auto inside = rig.music.getChildFile ("in.wav");
    const auto outside = elsewhere.getChildFile ("out.wav");
    inside.create();
    outside.create();

    rig.table->showFolder (rig.music);
    ASSERT_TRUE (rig.waitUntilIdle());
    rig.table->showFolder (elsewhere);
    ASSERT_TRUE (rig.waitUntilIdle());
    {
        const juce::ScopedLock sl (rig.database->getLock());
        EXPECT_GE (rig.database->findIndex (outside.getFullPathName()), 0) << "known for this run";
    }

    ASSERT_TRUE (rig.database->save()) << rig.database->getLastSaveError();
    ID3DataBase reloaded (rig.temp.file ("database.xml"));
    EXPECT_GE (reloaded.findIndex (inside.getFullPathName()), 0);
    EXPECT_EQ (reloaded.findIndex (outside.getFullPathName()), -1) << "a folder browsed outside the song folders is not kept";
}

TEST (FileTree, anAnswerThatComesAfterItsCaseWentDoesNothing)
{
    TreeRig rig (treeWithOneOfEach);
    rig.tree->getCasesItem()->addSubItem (new ZundFileTreeItem (*rig.tree, ZundFileTreeItem::caseItem, "Other"));

    // The questions stay open, as dialogs the user has not answered yet.
    struct HeldAnswers
    {
        std::vector<LibraryDialogs::Answer> answers;
        HeldAnswers()
        {
            LibraryDialogs::setResponder ([this] (const LibraryDialogs::Question&, const LibraryDialogs::Answer& a) {
                answers.push_back (a);
            });
        }
        ~HeldAnswers() { LibraryDialogs::setResponder (nullptr); }
    } held;

    rig.child (rig.tree->getCasesItem(), 1)->setSelected (true, true);
    rig.tree->deleteSelectedItem();
    rig.tree->deleteSelectedItem(); // asked twice about the same case
    ASSERT_EQ (held.answers.size(), 2u);

    held.answers[1] (0, {}); // OK: the case goes
    ASSERT_EQ (rig.tree->getCasesItem()->getNumSubItems(), 2);
    held.answers[0] (0, {}); // and the first OK, about a case that is gone
    ASSERT_EQ (rig.tree->getCasesItem()->getNumSubItems(), 2);
    EXPECT_EQ (rig.child (rig.tree->getCasesItem(), 1)->getName(), "Other");
}

TEST (FileTree, subFolderItemsAreMadeOnTheMessageThread)
{
    // Run under ThreadSanitizer: an item made by the worker while the message
    // thread makes one races on the framework's item numbering.
    TreeRig rig (treeWithOneOfEach);
    for (int i = 0; i < 100; ++i)
        rig.music.getChildFile ("folder " + juce::String (i)).createDirectory();
    auto* musicItem = rig.child (rig.tree->getSongFoldersItem(), 0);

    std::vector<std::unique_ptr<ZundFileTreeItem>> madeMeanwhile;
    for (int round = 0; round < 20; ++round)
    {
        musicItem->setOpen (false);
        musicItem->setOpen (true);
        const auto end = juce::Time::getMillisecondCounter() + 20000;
        while (musicItem->getNumSubItems() < 100 && juce::Time::getMillisecondCounter() < end)
        {
            madeMeanwhile.push_back (std::make_unique<ZundFileTreeItem> (*rig.tree, ZundFileTreeItem::folder, "x"));
            test::pumpMessages (1);
        }
        ASSERT_EQ (musicItem->getNumSubItems(), 100) << "round " << round;
    }
    EXPECT_EQ (rig.child (musicItem, 99)->getName(), "folder 99");
}

TEST (FileTree, aRenamedCaseKeepsItsNameAndAnEmptyNameIsUntitled)
{
    TreeRig rig (treeWithOneOfEach);
    auto* added = rig.tree->addCase();
    ASSERT_NE (rig.tree->getRenameEditor(), nullptr);
    EXPECT_TRUE (added->isSelected());
    rig.tree->getRenameEditor()->setText ({}, false);
    added->textEditorReturnKeyPressed (*rig.tree->getRenameEditor());
    EXPECT_EQ (added->getName(), "Untitled");
    EXPECT_EQ (rig.tree->getRenameEditor(), nullptr);

    auto* gig = rig.child (rig.tree->getCasesItem(), 1);
    rig.tree->renameItem (gig);
    rig.tree->getRenameEditor()->setText ("Warm-up", false);
    gig->textEditorFocusLost (*rig.tree->getRenameEditor()); // clicking elsewhere ends it too
    EXPECT_EQ (gig->getName(), "Warm-up");

    rig.tree.reset();
    rig.makeTree();
    ASSERT_EQ (rig.tree->getCasesItem()->getNumSubItems(), 3);
    EXPECT_EQ (rig.child (rig.tree->getCasesItem(), 1)->getName(), "Warm-up");
    EXPECT_EQ (rig.child (rig.tree->getCasesItem(), 2)->getName(), "Untitled");
}

TEST (FileTree, aNewSongFolderStaysOnlyWithANameAndAFolderNotAlreadyUsed)
{
    TreeRig rig (treeWithOneOfEach);
    const auto other = rig.temp.file ("other");
    other.createDirectory();
    auto nameIt = [&] (ZundFileTreeItem* item, const juce::String& name) {
        ASSERT_NE (rig.tree->getRenameEditor(), nullptr);
        rig.tree->getRenameEditor()->setText (name, false);
        item->textEditorReturnKeyPressed (*rig.tree->getRenameEditor());
    };

    {
        test::ScriptedFolders folders ({ juce::File() }); // the chooser cancelled
        nameIt (rig.tree->addSongFolderItem ({}, {}), "Cancelled");
        EXPECT_EQ (folders.asked, juce::StringArray ("Choose Song Folder"));
    }
    EXPECT_EQ (rig.tree->getSongFoldersItem()->getNumSubItems(), 1) << "no item left behind";

    test::ScriptedFolders folders ({ rig.music, other });
    test::ScriptedDialogs dialogs ({ 0, 1 }); // the error's OK; "No" to scanning now
    auto* added = rig.tree->addSongFolderItem ({}, {});
    nameIt (added, "Second");

    EXPECT_EQ (dialogs.asked, juce::StringArray ({ "Error!", "Song Folder" }));
    EXPECT_EQ (folders.asked.size(), 2) << "the chooser comes again after the error";
    EXPECT_EQ (rig.tree->getSongFolders(), juce::StringArray (rig.music.getFullPathName(), other.getFullPathName()));
    EXPECT_EQ (added->getName(), "Second");
    EXPECT_TRUE (rig.database->isSongFolder (other.getFullPathName()));
}

// "TreeView.xml" restored the song table's column widths unchecked: a huge one
// overflowed the header's layout, put the later columns off-screen, and the same
// widths were saved back.
TEST (FileTree, storedColumnWidthsAreHeldInRange)
{
    juce::XmlElement header ("TABLELAYOUT");
    header.setAttribute ("sortedCol", 2);
    header.setAttribute ("sortForwards", 1);
    for (int id = 1; id <= SongTableColumns::count; ++id)
    {
        auto* column = header.createNewChildElement ("COLUMN");
        column->setAttribute ("id", id);
        column->setAttribute ("visible", 1);
        column->setAttribute ("width", id == 2 ? "2147483647" : id == 3 ? "-7" : id == 4 ? "99999999999" : "100");
    }
    juce::XmlElement root ("TreeView");
    root.setAttribute ("ID3ViewHeader", header.toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()));
    root.setAttribute ("lastWidth", 200);

    TreeRig rig (root.toString());
    auto check = [] (juce::TableHeaderComponent& h) {
        int total = 0;
        for (int id = 1; id <= SongTableColumns::count; ++id)
        {
            const int width = h.getColumnWidth (id);
            EXPECT_GE (width, SongTableColumns::minimumWidth) << id;
            EXPECT_LE (width, 4000) << id;
            total += width;
        }
        EXPECT_LE (total, 16000);
        EXPECT_EQ (h.getTotalWidth(), total);
        const auto last = h.getColumnPosition (SongTableColumns::count - 1);
        EXPECT_EQ (last.getRight(), total) << "the last column lies where the widths say";
    };
    check (rig.table->getHeader());
    EXPECT_EQ (rig.table->getHeader().getColumnWidth (2), 4000);
    EXPECT_EQ (rig.table->getHeader().getColumnWidth (3), SongTableColumns::minimumWidth);
    EXPECT_EQ (rig.table->getHeader().getColumnWidth (5), 100);

    rig.tree.reset(); // saves
    TreeRig again (rig.treeFile.loadFileAsString());
    check (again.table->getHeader());
    EXPECT_FALSE (rig.treeFile.loadFileAsString().contains ("2147483647"));
}
