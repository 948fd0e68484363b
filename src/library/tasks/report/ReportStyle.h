#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** A heading: black 15-point text, centred, on the report's white. */
void setUpReportHeading (juce::Label& heading, const juce::String& text);

/** Shows a report component modally in its own dialog window, which owns and
    deletes it; returns the window's modal result (0 when closed). */
int runReportDialog (std::unique_ptr<juce::Component> content, const juce::String& title,
                     juce::Colour background, bool resizable);
}
