#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** An attribute of a user file read as a whole number by parseWholeNumber, held
    to the int's range: the framework's getIntAttribute wraps larger numbers
    round and overflows on "-2147483648". `missing` when there is no such
    attribute or its text starts with no number. */
int readWholeNumberAttribute (const juce::XmlElement& element, const juce::String& name, int missing);
}
