#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
class ZundColourSelector;

/** The scheme files the program keeps itself, in the program folder:
    "baseColourScheme.def", the built-in scheme that "Reset To Default Colour
    Scheme" loads, and "defaultColours.xml", the colours of the last session. */
class ColourSchemeFiles
{
public:
    explicit ColourSchemeFiles (ZundColourSelector& selectorToUse) : selector (selectorToUse) {}

    /** Start-up, once every entry is listed and before any scheme is loaded,
        while the colours are still the classes' own defaults: these become the
        base scheme when that file is missing or unreadable, so that a reset
        always has something to load. Then the base scheme and the last
        session's colours are loaded, in that order. */
    void loadAtStartup();

    /** Why the last session's colours were not read, for a warning box; empty
        when all was well. */
    const juce::String& getWarning() const noexcept { return warning; }

    /** Shut-down: the current colours to "defaultColours.xml"; never over an
        unreadable file that could not be moved aside. */
    bool saveAtShutdown (juce::String* error = nullptr);

private:
    void installBaseScheme();
    void loadUserColours();

    ZundColourSelector& selector;
    juce::String warning;
    bool userFileMustStay = false;

    JUCE_DECLARE_NON_COPYABLE (ColourSchemeFiles)
};
}
