#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** Reads a number from text out of a user file as the framework's getDoubleValue
    does (leading blanks, a sign, digits with one point, an exponent, "inf", "nan";
    0 when the text starts with no number), but safe on any text: the framework
    sums the exponent in an int, which "1e9999999999" overflows. Too large a value
    reads as an infinity, too small a one as 0. */
double parseRealNumber (const juce::String& text);

/** Reads a whole number as the framework's getIntValue does (leading blanks, a
    minus, digits; 0 when none), held to the int's range instead of wrapping. */
int parseWholeNumber (const juce::String& text);

/** parseWholeNumber for 64-bit values. */
juce::int64 parseLargeWholeNumber (const juce::String& text);
}
