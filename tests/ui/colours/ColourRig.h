#pragma once

#include "support/TempFolder.h"
#include "ui/colours/ColourSchemeEntries.h"
#include "ui/colours/ZundColourSelector.h"

#include <string>
#include <vector>

namespace zund::test
{
/** One line of the mixer's colour list as the user meets it. */
struct ExpectedEntry
{
    int id;
    juce::String name;
    juce::Colour* variable;
};

/** A selector with the mixer's 49 entries, bound to the real class-wide colours
    and to stand-ins for the main component's, browser's and master strip's, in
    a temporary program folder. Every class-wide colour is at its default at
    the start and is put back at the end. Counts the selector's broadcasts. */
struct ColourRig : public juce::ChangeListener
{
    ColourRig();
    ~ColourRig() override;

    /** The list in the order the user sees it, each entry with the variable it must edit. */
    std::vector<ExpectedEntry> expectedEntries();
    /** Every entry's colour, in list order. */
    std::vector<juce::uint32> allColours();

    /** A scheme file in the scheme folder with exactly this text. */
    juce::File writeFile (const juce::String& name, const std::string& text) const;
    /** `<ZundColourScheme>` with one `<Colour Id=.. Value=..>` per pair. */
    juce::File writeScheme (const juce::String& name, const std::vector<std::pair<int, juce::uint32>>& entries) const;
    /** (Id, Value) of each child of the file's root, through Python's own XML parser. */
    juce::StringArray readBackWithPython (const juce::File& file) const;

    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++broadcasts; }

    ScopedProgramFolder folder;
    juce::Colour applicationBackground { 0xff000000 }, browserBackground { 0xff000000 }, bpm { 0xffffff00 };
    juce::Colour control1[4], control2[4];
    ZundColourSelector selector;
    int broadcasts = 0;
};

/** Puts every class-wide colour the scheme edits back to its default. */
void resetClassColours();
}
