#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

namespace zund::test
{
/** Where things are in the start-up's "Consistency Check Report" window,
    relative to that window: the probe builds the report and its dialog frame
    headlessly and asks them. */
struct ReportProbe
{
    /** The button with this text; nothing when the report has none. */
    static std::optional<juce::Rectangle<int>> button (const juce::String& text);
    /** The lists of the missing files and of the files to scan. */
    static juce::Rectangle<int> missingList();
    static juce::Rectangle<int> scanList();
};
}
