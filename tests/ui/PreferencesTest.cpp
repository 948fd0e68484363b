#include "MixerHostStandIn.h"

#include "common/files/ProgramFolder.h"
#include "support/TempFolder.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/preferences/Preferences.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace zund;

namespace
{
using Attributes = std::vector<std::pair<juce::String, juce::String>>;

juce::String header()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
}

juce::String preferencesText (const Attributes& attributes, const juce::String& children = {})
{
    juce::String text = header() + "<Preferences";
    for (const auto& [name, value] : attributes)
        text << " " << name << "=\"" << value << "\"";
    return text + ">" + children + "</Preferences>\n";
}

Attributes attributesOf (const juce::XmlElement& element)
{
    Attributes result;
    for (int i = 0; i < element.getNumAttributes(); ++i)
        result.emplace_back (element.getAttributeName (i), element.getAttributeValue (i));
    return result;
}

juce::String valueOf (const Attributes& attributes, const juce::String& name)
{
    for (const auto& [n, v] : attributes)
        if (n == name)
            return v;
    return "(absent)";
}

/** One start and one exit of the program, as far as the preferences go. */
class PreferencesRun : public ::testing::Test
{
protected:
    void start()
    {
        preferences.loadPreferences (host, *engine, midi, DevicePairs { 4, 4 });
    }

    bool exit (juce::String* error = nullptr)
    {
        return preferences.savePreferences (deviceManager, host, *engine, midi, error);
    }

    std::unique_ptr<juce::XmlElement> writtenFile() const
    {
        // Read back with the framework's parser alone, as another program would.
        return juce::XmlDocument::parse (folder.file ("preferences.xml"));
    }

    void prepare (const juce::String& text) { ASSERT_TRUE (folder.file ("preferences.xml").replaceWithText (text)); }

    test::ScopedProgramFolder folder;
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    test::MixerHostStandIn host { *engine };
    MidiControlSurfaceManager midi;
    juce::AudioDeviceManager deviceManager; // never opened: no device state to save
    Preferences preferences;
};
}

TEST_F (PreferencesRun, WithoutAFileEveryDefaultIsWrittenAtExit)
{
    start();
    EXPECT_TRUE (preferences.getReadWarning().isEmpty());
    EXPECT_EQ (engine->getNumChannels(), 2);
    EXPECT_FALSE (host.sections[2]);
    EXPECT_FALSE (host.sections[3]);

    ASSERT_TRUE (exit());
    EXPECT_TRUE (folder.file ("preferences.xml").loadFileAsString().startsWith (header().trim()));
    const auto root = writtenFile();
    ASSERT_NE (root, nullptr);
    EXPECT_TRUE (root->hasTagName ("Preferences"));

    const Attributes expected {
        { "MODULE_ACTIVE_0", "1" }, { "MODULE_ACTIVE_1", "1" }, { "MODULE_ACTIVE_2", "0" }, { "MODULE_ACTIVE_3", "0" },
        { "MODULE_ACTIVE_4", "1" }, { "MODULE_ACTIVE_5", "1" }, { "MODULE_ACTIVE_6", "1" }, { "MODULE_ACTIVE_7", "1" },
        { "MODULE_ACTIVE_8", "1" }, { "MODULE_ACTIVE_9", "1" }, { "MODULE_ACTIVE_10", "1" },
        { "lastX", "449" }, { "lastY", "235" }, { "lastWidth", "1022" }, { "lastHeight", "730" },
        { "ResetOnLoad", "1" }, { "WarnOnLoad", "1" }, { "UseFunctionKeys", "0" }, { "VirtualZeroLockRange", "0.0" },
        { "Deck1Input", "0" }, { "Deck2Input", "0" }, { "Deck3Input", "0" }, { "Deck4Input", "0" },
        { "Channel1Output", "0" }, { "Channel2Output", "0" }, { "Channel3Output", "0" }, { "Channel4Output", "0" },
        { "PhonesOutput", "0" }, { "MainOutput", "0" },
        { "SoftPreamp1", "0" }, { "SoftPreamp2", "0" }, { "SoftPreamp3", "0" }, { "SoftPreamp4", "0" },
        { "InvertPhase1L", "0" }, { "InvertPhase2L", "0" }, { "InvertPhase3L", "0" }, { "InvertPhase4L", "0" },
        { "ChannelInputDeck1", "0" }, { "ChannelSync1", "0" }, { "ChannelAbsolute1", "0" },
        { "ChannelInputDeck2", "1" }, { "ChannelSync2", "0" }, { "ChannelAbsolute2", "0" },
        { "ChannelInputDeck3", "2" }, { "ChannelSync3", "0" }, { "ChannelAbsolute3", "0" },
        { "ChannelInputDeck4", "3" }, { "ChannelSync4", "0" }, { "ChannelAbsolute4", "0" },
        { "NumChannels", "2" },
    };
    EXPECT_EQ (attributesOf (*root), expected);

    // No device was ever opened, so the mapping is the only child (and empty).
    ASSERT_EQ (root->getNumChildElements(), 1);
    EXPECT_TRUE (root->getChildElement (0)->hasTagName ("MIDIControlDefaults"));
    EXPECT_EQ (root->getChildElement (0)->getNumChildElements(), 0);
}

TEST_F (PreferencesRun, EveryValidValueSurvivesAStartAndAnExit)
{
    const Attributes stored {
        { "MODULE_ACTIVE_0", "1" }, { "MODULE_ACTIVE_1", "1" }, { "MODULE_ACTIVE_2", "1" }, { "MODULE_ACTIVE_3", "0" },
        { "MODULE_ACTIVE_4", "0" }, { "MODULE_ACTIVE_5", "1" }, { "MODULE_ACTIVE_6", "0" }, { "MODULE_ACTIVE_7", "0" },
        { "MODULE_ACTIVE_8", "1" }, { "MODULE_ACTIVE_9", "0" }, { "MODULE_ACTIVE_10", "0" },
        { "lastX", "120" }, { "lastY", "64" }, { "lastWidth", "1400" }, { "lastHeight", "900" },
        { "ResetOnLoad", "0" }, { "WarnOnLoad", "0" }, { "UseFunctionKeys", "1" }, { "VirtualZeroLockRange", "0.37" },
        // Deck 4's pair 9 is beyond this device's four: kept for the card it belongs to.
        { "Deck1Input", "2" }, { "Deck2Input", "1" }, { "Deck3Input", "4" }, { "Deck4Input", "9" },
        { "Channel1Output", "2" }, { "Channel2Output", "3" }, { "Channel3Output", "4" }, { "Channel4Output", "7" },
        { "PhonesOutput", "2" }, { "MainOutput", "1" },
        { "SoftPreamp1", "1" }, { "SoftPreamp2", "0" }, { "SoftPreamp3", "1" }, { "SoftPreamp4", "0" },
        { "InvertPhase1L", "0" }, { "InvertPhase2L", "1" }, { "InvertPhase3L", "0" }, { "InvertPhase4L", "1" },
        { "ChannelInputDeck1", "3" }, { "ChannelSync1", "1" }, { "ChannelAbsolute1", "0" },
        { "ChannelInputDeck2", "2" }, { "ChannelSync2", "0" }, { "ChannelAbsolute2", "1" },
        { "ChannelInputDeck3", "0" }, { "ChannelSync3", "1" }, { "ChannelAbsolute3", "1" },
        { "ChannelInputDeck4", "1" }, { "ChannelSync4", "0" }, { "ChannelAbsolute4", "0" },
        { "NumChannels", "3" },
    };
    const juce::String mapping = "<MIDIControlDefaults><Entry1 tag=\"52\" controller=\"7\"/>"
                                 "<Entry2 tag=\"-2147483594\" controller=\"65828\"/></MIDIControlDefaults>";
    prepare (preferencesText (stored, mapping));

    start();
    EXPECT_EQ (engine->getNumChannels(), 3);
    EXPECT_EQ (engine->getChannelInputDeck (0), 3);
    EXPECT_TRUE (engine->isChannelAbsolute (2));
    EXPECT_EQ (midi.getControllerTarget (0, 7), 52);
    EXPECT_FALSE (preferences.getModel().resetOnLoad);
    EXPECT_TRUE (preferences.getModel().useFunctionKeys);

    ASSERT_TRUE (exit());
    const auto root = writtenFile();
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (attributesOf (*root), stored);
    const auto expectedMapping = juce::parseXML (mapping);
    ASSERT_NE (root->getChildByName ("MIDIControlDefaults"), nullptr);
    EXPECT_TRUE (root->getChildByName ("MIDIControlDefaults")->isEquivalentTo (expectedMapping.get(), false));
}

TEST_F (PreferencesRun, ChannelCountOverridesTheStripSectionsAndOnlyValidCountsAreKept)
{
    struct Case
    {
        const char* numChannels;
        int expectedEngineChannels;
        std::array<bool, 4> expectedStrips;
        const char* expectedWritten;
    };
    // Strip 1 stored hidden, strip 3 shown: a count applies after the sections.
    for (const auto& c : { Case { "4", 4, { true, true, true, true }, "4" },
                           Case { "3", 3, { true, true, true, false }, "3" },
                           Case { "5", 4, { false, true, true, true }, "(absent)" },
                           Case { "two", 4, { false, true, true, true }, "(absent)" } })
    {
        SCOPED_TRACE (c.numChannels);
        engine->setNumChannels (4);
        host.sections.fill (true);
        prepare (preferencesText ({ { "MODULE_ACTIVE_0", "0" }, { "MODULE_ACTIVE_2", "1" },
                                    { "NumChannels", c.numChannels } }));
        Preferences run;
        run.loadPreferences (host, *engine, midi, {});
        EXPECT_EQ (engine->getNumChannels(), c.expectedEngineChannels);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ (host.sections[(size_t) k], c.expectedStrips[(size_t) k]) << k;

        ASSERT_TRUE (run.savePreferences (deviceManager, host, *engine, midi));
        EXPECT_EQ (valueOf (attributesOf (*writtenFile()), "NumChannels"), c.expectedWritten);
    }
}

TEST_F (PreferencesRun, ValuesTheProgramCannotUseAreDroppedOrHeldInRange)
{
    struct Case
    {
        const char* name;
        const char* stored;
        const char* written;
    };
    for (const auto& c : { Case { "VirtualZeroLockRange", "3.5", "1.0" },
                           Case { "VirtualZeroLockRange", "-0.5", "0.0" },
                           Case { "VirtualZeroLockRange", "0.25", "0.25" },
                           // Numbers the framework's readers overflow on.
                           Case { "VirtualZeroLockRange", "1e9999999999", "0.0" },
                           Case { "VirtualZeroLockRange", "5e-9999999999", "0.0" },
                           Case { "ChannelInputDeck2", "-2147483648", "1" },
                           Case { "Deck3Input", "-9223372036854775808", "0" },
                           Case { "ChannelInputDeck2", "7", "1" }, // the channel keeps its deck
                           Case { "ChannelInputDeck2", "-1", "1" },
                           Case { "Deck3Input", "-4", "0" },
                           Case { "MainOutput", "12", "12" },
                           Case { "UseFunctionKeys", "true", "1" } })
    {
        SCOPED_TRACE (juce::String (c.name) + "=" + c.stored);
        prepare (preferencesText ({ { c.name, c.stored } }));
        Preferences run;
        run.loadPreferences (host, *engine, midi, DevicePairs { 2, 2 });
        ASSERT_TRUE (run.savePreferences (deviceManager, host, *engine, midi));
        EXPECT_EQ (valueOf (attributesOf (*writtenFile()), c.name), c.written);
    }
}

TEST_F (PreferencesRun, UnreadableFileIsKeptAsideAndTheProgramStartsWithDefaults)
{
    struct Case
    {
        const char* what;
        std::string contents;
        bool keptAside;
    };
    const auto xmlHeader = header().toStdString();
    for (const auto& c : { Case { "truncated", xmlHeader + "<Preferences MODULE_ACTIVE_7=\"0\" NumChannels=\"4\"", true },
                           Case { "not UTF-8", std::string ("\xff\xfe<\0P\0", 6), true },
                           Case { "entity declarations", xmlHeader + "<!DOCTYPE x [<!ENTITY a \"b\">]><x/>", true },
                           Case { "empty", {}, false } })
    {
        SCOPED_TRACE (c.what);
        test::ScopedProgramFolder fresh;
        auto file = fresh.file ("preferences.xml");
        ASSERT_TRUE (file.replaceWithData (c.contents.data(), c.contents.size()));
        juce::MemoryBlock original;
        file.loadFileAsData (original);

        host.sections.fill (true);
        Preferences run;
        run.loadPreferences (host, *engine, midi, {});
        EXPECT_TRUE (host.sections[7]);
        EXPECT_EQ (engine->getNumChannels(), 2);

        const auto aside = fresh.get().findChildFiles (juce::File::findFiles, false, "preferences.xml.bad-*");
        if (c.keptAside)
        {
            ASSERT_EQ (aside.size(), 1);
            juce::MemoryBlock kept;
            aside[0].loadFileAsData (kept);
            EXPECT_EQ (kept, original);
            EXPECT_TRUE (run.getReadWarning().contains (aside[0].getFileName())) << run.getReadWarning();
        }
        else
        {
            EXPECT_TRUE (aside.isEmpty());
            EXPECT_TRUE (run.getReadWarning().isEmpty());
        }

        // At exit the defaults go into a new file; the kept one stays as it was.
        ASSERT_TRUE (run.savePreferences (deviceManager, host, *engine, midi));
        const auto written = juce::XmlDocument::parse (file);
        ASSERT_NE (written, nullptr);
        EXPECT_EQ (written->getStringAttribute ("MODULE_ACTIVE_7"), "1");
        if (c.keptAside)
        {
            EXPECT_EQ (aside[0].getSize(), (juce::int64) original.getSize());
        }
    }
}

TEST_F (PreferencesRun, AFailedWriteIsReportedAndHarmsNothing)
{
    // A folder where the file should be: it cannot be read or replaced.
    ASSERT_TRUE (folder.file ("preferences.xml").createDirectory());
    start();
    EXPECT_FALSE (preferences.getReadWarning().isEmpty());
    juce::String error;
    EXPECT_FALSE (exit (&error));
    EXPECT_FALSE (error.isEmpty());
    EXPECT_TRUE (folder.file ("preferences.xml").isDirectory());

    // A program folder that has gone away.
    setApplicationFolderOverride (folder.file ("gone"));
    Preferences elsewhere;
    elsewhere.loadPreferences (host, *engine, midi, {});
    error.clear();
    EXPECT_FALSE (elsewhere.savePreferences (deviceManager, host, *engine, midi, &error));
    EXPECT_FALSE (error.isEmpty());
    EXPECT_FALSE (folder.file ("gone").exists());
}
