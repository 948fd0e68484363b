#pragma once

#include <juce_graphics/juce_graphics.h>

namespace zund
{
class ZundColourSelector;

/** The editable colours that are not class-wide colours of the panel classes:
    the main component's, the browser's and the master strip's. */
struct HostColourSlots
{
    juce::Colour* applicationBackground = nullptr;
    juce::Colour* browserBackground = nullptr;
    /** The CONTROL toggle alone on its deck (type 1) and on a shared deck
        (type 2): on top, on bottom, off top, off bottom. */
    juce::Colour* controlType1[4] {};
    juce::Colour* controlType2[4] {};
    juce::Colour* mainChannelBpm = nullptr;
};

/** Lists the mixer's 49 colour entries in the selector, grouped by separators,
    each bound to the colour it edits. */
void addColourSchemeEntries (ZundColourSelector& selector, const HostColourSlots& host);
}
