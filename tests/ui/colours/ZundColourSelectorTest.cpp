#include "ColourRig.h"

#include "support/UiEvents.h"
#include "ui/panels/ModuleComponent.h"
#include "ui/waveform/WaveComponent.h"
#include "ui/waveform/WaveOverview.h"
#include "ui/widgets/CuePointComponent.h"

#include <gtest/gtest.h>

using namespace zund;
using namespace zund::test;

namespace
{
/** The ids after which the list shows a separator. */
std::vector<int> idsBeforeSeparators (juce::ComboBox& list)
{
    std::vector<int> ids;
    int lastId = 0;
    for (juce::PopupMenu::MenuItemIterator it (*list.getRootMenu()); it.next();)
    {
        const auto& item = it.getItem();
        if (item.isSeparator)
            ids.push_back (lastId);
        else
            lastId = item.itemID;
    }
    return ids;
}
}

// Each entry, loaded alone from a file, changes its own colour variable and no
// other; the list shows the names in order, grouped as the user expects.
TEST (ColourEntries, EachEntryEditsTheColourItNamesAndNothingElse)
{
    ColourRig rig;
    const auto entries = rig.expectedEntries();
    auto& list = rig.selector.getEntryList();
    ASSERT_EQ (entries.size(), 49u);
    ASSERT_EQ (list.getNumItems(), 49);
    EXPECT_EQ (idsBeforeSeparators (list), (std::vector<int> { 7000, 9, 1009, 2004, 3005, 4004, 5002, 8007 }));

    for (size_t i = 0; i < entries.size(); ++i)
    {
        const auto& entry = entries[i];
        SCOPED_TRACE (entry.name);
        EXPECT_EQ (list.getItemId ((int) i), entry.id);
        EXPECT_EQ (list.getItemText ((int) i), entry.name);

        auto expected = rig.allColours();
        const juce::uint32 marked = 0x7f000000u + 0x010305u * (juce::uint32) (i + 1); // no default has alpha 0x7f
        ASSERT_TRUE (rig.selector.loadColourScheme (rig.writeScheme ("one.kcs", { { entry.id, marked } })));
        expected[i] = marked;
        EXPECT_EQ (rig.allColours(), expected);
    }
    EXPECT_EQ (rig.broadcasts, 49);
}

TEST (ColourEntries, OnlyTheModuleTitleChangesWithAFileListingOnly2004)
{
    ColourRig rig;
    auto expected = rig.allColours();
    const auto file = rig.writeFile ("title.kcs", "<ZundColourScheme><Colour Id=\"2004\" Value=\"ff123456\"/></ZundColourScheme>");

    ASSERT_TRUE (rig.selector.loadColourScheme (file));
    EXPECT_EQ (rig.expectedEntries()[25].id, 2004);
    expected[25] = 0xff123456;
    EXPECT_EQ (rig.allColours(), expected);
}

// Whatever the file's root and children are called, and with the bare
// document-type word older writers put before the root, the pairs apply.
TEST (ColourSchemeFile, AForeignRootStillAppliesItsEntries)
{
    ColourRig rig;
    const auto foreign = rig.writeFile ("foreign.kcs", "<?xml version=\"1.0\"?>\n<Palette>"
                                                      "<Colour Id=\"2000\" Value=\"ff102030\"/>"
                                                      "<Swatch Id=\"4002\" Value=\"ff405060\"/></Palette>");
    ASSERT_TRUE (rig.selector.loadColourScheme (foreign));
    EXPECT_EQ (ModuleComponent::colours.bodyTop, juce::Colour (0xff102030));
    EXPECT_EQ (CuePointComponent::colours.inside, juce::Colour (0xff405060));

    const auto older = rig.writeFile ("older.kcs", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\nZundColourScheme\n"
                                                  "<ZundColourScheme><Colour Id=\"9000\" Value=\"ff00ff00\"/>"
                                                  "</ZundColourScheme>\n");
    ASSERT_TRUE (rig.selector.loadColourScheme (older));
    EXPECT_EQ (rig.bpm, juce::Colour (0xff00ff00));
}

// An entry without a readable value, an id without an entry, a missing or
// broken file: the colours stay as they were.
TEST (ColourSchemeFile, WhatCannotBeReadLeavesTheColours)
{
    ColourRig rig;
    const auto before = rig.allColours();
    const auto file = rig.writeFile ("partial.kcs", "<ZundColourScheme>"
                                                   "<Colour Id=\"2000\"/>"
                                                   "<Colour Id=\"2001\" Value=\"\"/>"
                                                   "<Colour Id=\"2002\" Value=\"ff30g030\"/>"
                                                   "<Colour Id=\"2003\" Value=\"1ff303030\"/>"
                                                   "<Colour Id=\"12345\" Value=\"ffffffff\"/>"
                                                   "<Colour Value=\"ffffffff\"/>"
                                                   "</ZundColourScheme>");
    EXPECT_TRUE (rig.selector.loadColourScheme (file));
    EXPECT_EQ (rig.allColours(), before);

    juce::String error;
    EXPECT_FALSE (rig.selector.loadColourScheme (rig.folder.file ("missing.kcs"), &error));
    EXPECT_TRUE (error.isEmpty());
    EXPECT_FALSE (rig.selector.loadColourScheme (rig.writeFile ("broken.kcs", "<ZundColourScheme><Colour"), &error));
    EXPECT_TRUE (error.isNotEmpty());
    EXPECT_EQ (rig.allColours(), before);
}

// A saved scheme lists all 49 entries in list order as lower-case hex without
// leading zeros; a transparent colour is "0" and reads back transparent.
TEST (ColourSchemeFile, SavedSchemeListsEveryEntryAndReadsBack)
{
    ColourRig rig;
    ModuleComponent::colours.bodyTop = juce::Colour (0x0a0b0c0d);
    WaveComponent::colours.peak = juce::Colours::transparentBlack;
    const auto saved = rig.allColours();
    const auto file = rig.folder.file ("saved.kcs");
    ASSERT_TRUE (rig.selector.saveColourScheme (file));

    EXPECT_TRUE (file.loadFileAsString().startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    const auto lines = rig.readBackWithPython (file);
    const auto entries = rig.expectedEntries();
    ASSERT_EQ (lines.size(), 49);
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_EQ (lines[i], "Colour " + juce::String (entries[(size_t) i].id) + " "
                                 + juce::String::toHexString ((int) saved[(size_t) i]));
    EXPECT_TRUE (lines.contains ("Colour 2 0"));
    EXPECT_TRUE (lines.contains ("Colour 2000 a0b0c0d"));
    EXPECT_TRUE (lines.contains ("Colour 2001 ff303030"));

    resetClassColours();
    ASSERT_TRUE (rig.selector.loadColourScheme (file));
    EXPECT_EQ (rig.allColours(), saved);
    EXPECT_TRUE (WaveComponent::colours.peak.isTransparent());
}

TEST (ColourSelectorEditing, PasteIsOffUntilACopyAndPastesIntoTheSelectedEntry)
{
    ColourRig rig;
    auto& list = rig.selector.getEntryList();
    EXPECT_EQ (list.getSelectedId(), 6000) << "the first entry is selected";
    EXPECT_EQ (rig.selector.getCurrentVariable(), &rig.applicationBackground);
    EXPECT_FALSE (rig.selector.getPasteButton().isEnabled());

    const auto before = rig.allColours();
    rig.selector.getPasteButton().triggerClick();
    pumpMessages();
    EXPECT_EQ (rig.allColours(), before);
    EXPECT_EQ (rig.broadcasts, 0);

    list.setSelectedId (3, juce::sendNotificationSync); // "Wave Display Average": red
    rig.selector.buttonClicked (&rig.selector.getCopyButton());
    EXPECT_TRUE (rig.selector.getPasteButton().isEnabled());

    list.setSelectedId (2004, juce::sendNotificationSync);
    rig.selector.buttonClicked (&rig.selector.getPasteButton());
    EXPECT_EQ (ModuleComponent::colours.titleText, juce::Colour (0xffff0000));
    EXPECT_EQ (rig.selector.getPicker().getCurrentColour(), juce::Colour (0xffff0000));
    EXPECT_EQ (rig.broadcasts, 1);
}

TEST (ColourSelectorEditing, ThePickerEditsTheSelectedEntry)
{
    ColourRig rig;
    rig.selector.getEntryList().setSelectedId (1006, juce::sendNotificationSync);
    EXPECT_EQ (rig.selector.getPicker().getCurrentColour(), juce::Colour (0xffffffff));

    rig.selector.getPicker().setCurrentColour (juce::Colour (0x80336699));
    pumpMessages();
    EXPECT_EQ (WaveOverview::colours.text, juce::Colour (0x80336699));
    EXPECT_GE (rig.broadcasts, 1);
}

// The name typed in the save dialog gets the scheme extension; a chosen
// scheme is loaded by that name too. Cancelling does nothing.
TEST (ColourSelectorFiles, SaveAndLoadUseTheSchemeExtension)
{
    ColourRig rig;
    juce::File answer;
    std::vector<bool> asked;
    rig.selector.setFileQuestion ([&] (bool saving, std::function<void (const juce::File&)> reply) {
        asked.push_back (saving);
        reply (answer);
    });
    int replaceQuestions = 0;
    rig.selector.setReplaceQuestion ([&] (const juce::File&, std::function<void (bool)> reply) {
        ++replaceQuestions;
        reply (true);
    });
    const auto folder = ZundColourSelector::getSchemeFolder();

    ModuleComponent::colours.titleText = juce::Colour (0xff010203);
    for (const auto* typed : { "club", "club.txt" })
    {
        answer = folder.getChildFile (typed);
        rig.selector.getSaveButton().triggerClick();
        pumpMessages();
        EXPECT_FALSE (answer.exists()) << typed;
    }
    EXPECT_TRUE (folder.getChildFile ("club.kcs").existsAsFile());
    EXPECT_EQ (asked, (std::vector<bool> { true, true }));
    EXPECT_EQ (replaceQuestions, 1) << "the second save replaces the first";

    resetClassColours();
    answer = folder.getChildFile ("club");
    rig.selector.getLoadButton().triggerClick();
    pumpMessages();
    EXPECT_EQ (ModuleComponent::colours.titleText, juce::Colour (0xff010203));

    const int broadcasts = rig.broadcasts;
    answer = juce::File();
    rig.selector.getLoadButton().triggerClick();
    rig.selector.getSaveButton().triggerClick();
    pumpMessages();
    EXPECT_EQ (rig.broadcasts, broadcasts);
    EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, false).size(), 1);
}
