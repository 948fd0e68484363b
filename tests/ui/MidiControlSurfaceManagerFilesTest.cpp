#include "support/TempFolder.h"
#include "ui/midi/MidiControlSurfaceManager.h"

#include <gtest/gtest.h>

#include <string>

using namespace zund;

namespace
{
constexpr int trigger = MidiControlSurfaceManager::resetTriggerBit;

void fillMapping (MidiControlSurfaceManager& mapping)
{
    mapping.assignController (52, 0, 7);
    mapping.assignController (104 | trigger, 3, 21);
    mapping.assignNote (55, 9, 36);
    mapping.assignNote (701 | trigger, 9, 37);
}

class MidiSettingsFiles : public ::testing::Test
{
protected:
    juce::File writeRaw (const juce::String& name, const std::string& contents)
    {
        const auto file = folder.file (name);
        file.replaceWithData (contents.data(), contents.size());
        return file;
    }

    test::ScopedProgramFolder folder;
    MidiControlSurfaceManager mapping;
};
}

TEST_F (MidiSettingsFiles, ASavedMappingLoadsAgainWithItsResetTriggers)
{
    fillMapping (mapping);
    const auto file = MidiControlSurfaceManager::getSettingsFolder().getChildFile ("set.kms");
    EXPECT_TRUE (file.getParentDirectory().isDirectory());
    EXPECT_EQ (file.getParentDirectory(), folder.file ("MidiControlSettings"));
    ASSERT_TRUE (mapping.saveSettingsTo (file));

    // Nothing between the declaration and the root: any parser finds the root.
    const auto written = juce::XmlDocument::parse (file);
    ASSERT_NE (written, nullptr);
    EXPECT_TRUE (written->hasTagName ("MidiControlSettings"));
    EXPECT_EQ (written->getChildElement (0)->getTagName(), "Entry1");
    EXPECT_EQ (written->getChildElement (0)->getIntAttribute ("tag"), 52);
    EXPECT_LT (written->getChildByName ("Entry2")->getIntAttribute ("tag"), 0);

    MidiControlSurfaceManager loaded;
    loaded.assignController (9, 0, 9); // replaced, not merged
    ASSERT_TRUE (loaded.loadSettingsFrom (file));
    EXPECT_TRUE (loaded.toXml ("MidiControlSettings")->isEquivalentTo (written.get(), false));
    EXPECT_EQ (loaded.getControllerTarget (3, 21), 104 | trigger);
    EXPECT_EQ (loaded.getNoteTarget (9, 37), 701 | trigger);
    EXPECT_EQ (loaded.getControllerTarget (0, 9), MidiControlSurfaceManager::none);
}

TEST_F (MidiSettingsFiles, OlderFilesWithTextBeforeTheRootStillLoad)
{
    fillMapping (mapping);
    // What older saves wrote: the document-type text raw after the declaration.
    juce::XmlElement::TextFormat format;
    format.dtd = "MidiControlSettings";
    const auto old = mapping.toXml ("MidiControlSettings")->toString (format);
    ASSERT_EQ (juce::parseXML (old), nullptr); // the reason they could not be loaded

    for (const auto& prefix : { std::string(), std::string ("\xef\xbb\xbf") })
    {
        MidiControlSurfaceManager loaded;
        ASSERT_TRUE (loaded.loadSettingsFrom (writeRaw ("old.kms", prefix + old.toStdString())));
        EXPECT_TRUE (loaded.toXml ("M")->isEquivalentTo (mapping.toXml ("M").get(), false));
    }
}

TEST_F (MidiSettingsFiles, UnreadableFilesChangeNothing)
{
    fillMapping (mapping);
    const auto before = mapping.toXml ("M");
    struct Case
    {
        const char* what;
        std::string contents;
    };
    for (const auto& c : { Case { "not XML", "MIDI settings, version 2" },
                           Case { "empty", "" },
                           Case { "truncated", "<?xml version=\"1.0\"?><MidiControlSettings><Entry1 tag=\"5\"" },
                           Case { "entity expansion", "<!DOCTYPE m [<!ENTITY e \"x\">]><m><E tag=\"&e;\"/></m>" },
                           Case { "not UTF-8", std::string ("<m>\xff\xfe</m>") } })
    {
        SCOPED_TRACE (c.what);
        EXPECT_FALSE (mapping.loadSettingsFrom (writeRaw ("bad.kms", c.contents)));
        EXPECT_TRUE (mapping.toXml ("M")->isEquivalentTo (before.get(), false));
    }
    EXPECT_FALSE (mapping.loadSettingsFrom (folder.file ("missing.kms")));
    EXPECT_TRUE (mapping.toXml ("M")->isEquivalentTo (before.get(), false));

    // A readable file without entries is a mapping too: the empty one.
    EXPECT_TRUE (mapping.loadSettingsFrom (writeRaw ("empty.kms", "<MidiControlSettings/>")));
    EXPECT_EQ (mapping.toXml ("M")->getNumChildElements(), 0);
}

TEST_F (MidiSettingsFiles, UnwritableTargetsAreReported)
{
    fillMapping (mapping);
    const auto taken = folder.file ("taken.kms");
    ASSERT_TRUE (taken.createDirectory());
    for (const auto& target : { taken, folder.file ("no such folder/set.kms") })
    {
        SCOPED_TRACE (target.getFullPathName());
        juce::String error;
        EXPECT_FALSE (mapping.saveSettingsTo (target, &error));
        EXPECT_FALSE (error.isEmpty());
    }
    EXPECT_TRUE (taken.isDirectory());
    EXPECT_FALSE (folder.file ("no such folder").exists());
}
