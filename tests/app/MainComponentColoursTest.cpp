#include "app/main/MainComponent.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/channel/Channel.h"
#include "ui/colours/ZundColourSelector.h"
#include "ui/master/MainChannel.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
void writeScheme (const juce::File& file, const juce::String& entries)
{
    file.replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ZundColourScheme>" + entries
                          + "</ZundColourScheme>\n");
}

int countPixels (const juce::Image& image, juce::Colour colour)
{
    int count = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            count += image.getPixelAt (x, y) == colour ? 1 : 0;
    return count;
}
}

// The last session's colours reach what the main component draws and hands
// out at start-up; a change in the selector reaches the panels at once; at
// the end every colour is written back.
TEST (MainComponentColours, TheSchemeReachesThePanelsAndIsKeptAtTheEnd)
{
    test::ScopedProgramFolder folder;
    const juce::Colour green (0xff00ff00);
    writeScheme (folder.file ("defaultColours.xml"), "<Colour Id=\"6000\" Value=\"ff203040\"/>"
                                                     "<Colour Id=\"8002\" Value=\"ff00ff00\"/>"
                                                     "<Colour Id=\"8003\" Value=\"ff00ff00\"/>"
                                                     "<Colour Id=\"1007\" Value=\"ff0000ff\"/>"
                                                     "<Colour Id=\"9000\" Value=\"ff00ffff\"/>");
    {
        MainComponent main (nullptr);

        juce::Image background (juce::Image::ARGB, 4, 4, true);
        juce::Graphics g (background);
        main.paint (g);
        EXPECT_EQ (background.getPixelAt (2, 2), juce::Colour (0xff203040));

        auto& strip = *main.getChannel (0);
        auto& display = strip.getWaveDisplay();
        EXPECT_EQ (display.getTimeLabel().findColour (juce::Label::backgroundColourId), juce::Colour (0xff0000ff));
        EXPECT_EQ (main.getMainChannel()->bpmColour, juce::Colour (0xff00ffff));
        auto& control = strip.getPlayerContainer().getControlButton();
        ASSERT_LT (control.getValue(), 0.5f);
        test::pumpMessages(); // the repaint tick takes the new colours
        EXPECT_GT (countPixels (test::snapshotOf (control), green), 20) << "CONTROL off, alone on its deck";

        const auto change = folder.file ("change.kcs");
        writeScheme (change, "<Colour Id=\"1008\" Value=\"ff00ff00\"/>");
        ASSERT_TRUE (main.getColourSelector()->loadColourScheme (change));
        EXPECT_EQ (display.getBpmLabel().findColour (juce::Label::backgroundColourId), green);
    }

    EXPECT_TRUE (folder.file ("baseColourScheme.def").existsAsFile());
    const auto saved = juce::parseXML (folder.file ("defaultColours.xml"));
    ASSERT_NE (saved, nullptr);
    EXPECT_EQ (saved->getNumChildElements(), 49);
    juce::StringArray values;
    for (auto* entry : saved->getChildIterator())
        values.add (entry->getStringAttribute ("Id") + "=" + entry->getStringAttribute ("Value"));
    for (const auto* expected : { "6000=ff203040", "1008=ff00ff00", "9000=ff00ffff", "2004=ffe0e0e0" })
        EXPECT_TRUE (values.contains (expected)) << expected;
}
