#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** Text from bytes that ought to be UTF-8 (tag fields, comments, file names).
    Anything that is not well-formed UTF-8 (a stray byte, an overlong form, a
    surrogate, a code point above U+10FFFF) becomes U+FFFD, so the text can
    always be written to the database file and read back. */
juce::String textFromUtf8 (const char* bytes, size_t numBytes);

/** The same text, repaired as textFromUtf8 does when its bytes are not
    well-formed UTF-8; otherwise the string itself. */
juce::String makeValidText (const juce::String& text);

/** Copies the text as zero-terminated UTF-8 into a buffer of bufferSize bytes
    (bufferSize > 0), cut at a character boundary when it does not fit. */
void copyTextToBuffer (const juce::String& text, char* buffer, size_t bufferSize) noexcept;
}
