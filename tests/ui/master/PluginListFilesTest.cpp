// "pluginList.xml" and "pluginProperties.xml": what one run writes the next
// reads, and a file the program cannot read safely is kept, never read by the
// framework's parser and never written over.

#include "support/BoundedRun.h"
#include "support/PluginFixtures.h"
#include "support/TempFolder.h"
#include "ui/plugins/PluginListHolder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr const char* scanPathKey = "lastPluginScanPath_LV2";

std::unique_ptr<PluginListHolder> makeHolder()
{
    std::unique_ptr<PluginListHolder> holder;
    finishWithin (30.0, "reading the plug-in files", [&holder] { holder = std::make_unique<PluginListHolder>(); });
    return holder;
}

juce::Array<juce::File> keptAside (const ScopedProgramFolder& folder, const juce::String& name)
{
    return folder.get().findChildFiles (juce::File::findFiles, false, name + ".bad-*");
}
}

// The known plug-ins and the scanner's folders come back on the next start.
TEST (PluginListFiles, WhatOneRunWritesTheNextReads)
{
    ScopedProgramFolder folder;
    const auto ringModulator = describeLv2Plugin (stereoLv2Effect);
    ASSERT_TRUE (ringModulator.has_value()) << "mda-lv2 is not installed";
    {
        auto holder = makeHolder();
        holder->getKnownList().addType (*ringModulator);
        holder->getProperties().setValue (scanPathKey, "/opt/lv2;/usr/lib/lv2");
        ASSERT_TRUE (holder->getProperties().saveIfNeeded());
    }

    auto holder = makeHolder();
    ASSERT_EQ (holder->getKnownList().getNumTypes(), 1);
    EXPECT_EQ (holder->getKnownList().getTypes()[0].fileOrIdentifier, juce::String (stereoLv2Effect));
    EXPECT_EQ (holder->getProperties().getValue (scanPathKey), "/opt/lv2;/usr/lib/lv2");
    EXPECT_TRUE (keptAside (folder, PluginListHolder::listFileName).isEmpty());
    EXPECT_TRUE (keptAside (folder, PluginListHolder::propertiesFileName).isEmpty());
}

// Each of these the framework's parser would read: a document type that pulls
// in another file of the user's, text that is not UTF-8, an element that is
// not the file's. They are moved aside as they are, and the files written
// later start afresh beside them.
TEST (PluginListFiles, AFileTheProgramCannotReadSafelyIsKeptAsItIs)
{
    struct Case
    {
        const char* what;
        const char* fileName;
        std::string text;
    };
    const Case cases[] {
        { "settings with an external document type", PluginListHolder::propertiesFileName,
          "<!DOCTYPE PROPERTIES SYSTEM \"definitions.dtd\"><PROPERTIES><VALUE name=\"lastPluginScanPath_LV2\" "
          "val=\"&path;\"/></PROPERTIES>" },
        { "settings that are not UTF-8", PluginListHolder::propertiesFileName,
          "<PROPERTIES><VALUE name=\"lastPluginScanPath_LV2\" val=\"/opt/\xff\xfe\"/></PROPERTIES>" },
        { "settings of another kind", PluginListHolder::propertiesFileName, "<KNOWNPLUGINS/>" },
        { "a list with an external document type", PluginListHolder::listFileName,
          "<!DOCTYPE KNOWNPLUGINS SYSTEM \"definitions.dtd\"><KNOWNPLUGINS>&path;</KNOWNPLUGINS>" },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        ScopedProgramFolder folder;
        ASSERT_TRUE (folder.file ("definitions.dtd").replaceWithText ("<!ENTITY path \"/home/dj/private\">"));
        const auto file = folder.file (c.fileName);
        ASSERT_TRUE (file.replaceWithData (c.text.data(), c.text.size()));
        {
            auto holder = makeHolder();
            EXPECT_EQ (holder->getKnownList().getNumTypes(), 0);
            EXPECT_FALSE (holder->getProperties().getAllProperties().getAllValues().contains ("/home/dj/private"));
            holder->getProperties().setValue (scanPathKey, "/usr/lib/lv2");
            holder->getProperties().saveIfNeeded();
        }

        const auto aside = keptAside (folder, c.fileName);
        ASSERT_EQ (aside.size(), 1);
        juce::MemoryBlock kept;
        ASSERT_TRUE (aside[0].loadFileAsData (kept));
        EXPECT_EQ (kept, juce::MemoryBlock (c.text.data(), c.text.size()));
        EXPECT_FALSE (file.loadFileAsString().contains ("definitions.dtd")) << "written over what was kept";
    }
}
