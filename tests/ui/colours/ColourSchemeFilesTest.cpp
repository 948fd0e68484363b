#include "ColourRig.h"

#include "ui/colours/ColourSchemeFiles.h"
#include "ui/panels/ModuleComponent.h"

#include <gtest/gtest.h>

using namespace zund;
using namespace zund::test;

namespace
{
std::vector<std::pair<int, juce::uint32>> everyEntryAs (ColourRig& rig, juce::uint32 value)
{
    std::vector<std::pair<int, juce::uint32>> entries;
    for (const auto& entry : rig.expectedEntries())
        entries.emplace_back (entry.id, value);
    return entries;
}
}

// Without a base scheme the program writes one from the classes' defaults, so
// "Reset To Default Colour Scheme" brings every colour back.
TEST (ColourSchemeStartup, ResetRestoresTheDefaultsWithoutABaseSchemeFile)
{
    ColourRig rig;
    const auto defaults = rig.allColours();
    ColourSchemeFiles files (rig.selector);
    files.loadAtStartup();
    EXPECT_TRUE (ZundColourSelector::getBaseSchemeFile().existsAsFile());
    EXPECT_EQ (rig.allColours(), defaults);

    ASSERT_TRUE (rig.selector.loadColourScheme (rig.writeScheme ("grey.kcs", everyEntryAs (rig, 0xff777777))));
    ASSERT_NE (rig.allColours(), defaults);
    rig.selector.buttonClicked (&rig.selector.getResetButton());
    EXPECT_EQ (rig.allColours(), defaults);
}

// The base scheme first, then the last session's colours over it; at the end
// the session's colours are written back, all 49 of them.
TEST (ColourSchemeStartup, TheLastSessionGoesOverTheBaseSchemeAndIsWrittenBack)
{
    ColourRig rig;
    rig.writeScheme ("../baseColourScheme.def", { { 2000, 0xff0000aa }, { 2004, 0xff00aa00 } });
    rig.writeScheme ("../defaultColours.xml", { { 2004, 0xffaa0000 } });
    ColourSchemeFiles files (rig.selector);
    files.loadAtStartup();
    EXPECT_EQ (ModuleComponent::colours.bodyTop, juce::Colour (0xff0000aa));
    EXPECT_EQ (ModuleComponent::colours.titleText, juce::Colour (0xffaa0000));
    EXPECT_TRUE (files.getWarning().isEmpty());

    rig.bpm = juce::Colour (0xff123456);
    ASSERT_TRUE (files.saveAtShutdown());
    const auto lines = rig.readBackWithPython (ZundColourSelector::getUserColoursFile());
    EXPECT_EQ (lines.size(), 49);
    EXPECT_TRUE (lines.contains ("Colour 9000 ff123456"));
    EXPECT_TRUE (rig.readBackWithPython (ZundColourSelector::getBaseSchemeFile()).contains ("Colour 2000 ff0000aa"))
        << "an existing base scheme is the user's: it stays";
}

// A session file that cannot be read is moved aside with a warning, never
// written over; a broken base scheme is replaced from the defaults.
TEST (ColourSchemeStartup, UnreadableFilesAreKeptAside)
{
    ColourRig rig;
    const auto defaults = rig.allColours();
    rig.writeFile ("../defaultColours.xml", "<ZundColourScheme><Colour Id=\"2004\"");
    rig.writeFile ("../baseColourScheme.def", "not xml");
    ColourSchemeFiles files (rig.selector);
    files.loadAtStartup();

    EXPECT_TRUE (files.getWarning().contains ("defaultColours.xml")) << files.getWarning();
    EXPECT_EQ (rig.allColours(), defaults);
    const auto aside = rig.folder.get().findChildFiles (juce::File::findFiles, false, "*.bad-*");
    ASSERT_EQ (aside.size(), 2);
    for (const auto& file : aside)
        EXPECT_TRUE (file.loadFileAsString() == "not xml"
                     || file.loadFileAsString() == "<ZundColourScheme><Colour Id=\"2004\"");

    EXPECT_EQ (rig.readBackWithPython (ZundColourSelector::getBaseSchemeFile()).size(), 49);
    ASSERT_TRUE (files.saveAtShutdown());
    EXPECT_EQ (rig.readBackWithPython (ZundColourSelector::getUserColoursFile()).size(), 49);
}
