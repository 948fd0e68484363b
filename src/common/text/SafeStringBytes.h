#pragma once

#include "common/text/SafeStringBytesRule.h"

#include <juce_core/juce_core.h>

#include <string>

namespace zund
{
/** isSafeStringBytes (SafeStringBytesRule.h) of a std::string's bytes. */
bool isSafeStringBytes (const std::string& bytes) noexcept;

/** isSafeStringBytes of a string already made (a path the framework hands over:
    a dropped file). */
bool isSafeString (const juce::String& text) noexcept;

/** A string holding exactly these bytes, copied as they are (the framework's
    decoding constructor would change them). Only for bytes that are safe. */
juce::String stringOfSafeBytes (const char* bytes, size_t size);
juce::String stringOfSafeBytes (const std::string& bytes);
}
