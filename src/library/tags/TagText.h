#pragma once

#include <juce_core/juce_core.h>

#include <string>

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

/** Whether the bytes are well-formed UTF-8 (no stray byte, overlong form,
    surrogate or code point above U+10FFFF). */
bool isWellFormedUtf8 (const char* bytes, size_t numBytes) noexcept;

/** Whether the text's bytes are well-formed UTF-8: what an XML file can hold as
    it is. A file name from an older system (Latin-1 bytes) is not. */
bool isWellFormedText (const juce::String& text);

/** A path whose bytes are not well-formed UTF-8, written so that XML can hold
    it: every byte outside a well-formed sequence, and every "%", as "%XX"
    (upper-case hex); well-formed characters stay as they are. */
juce::String escapeMalformedBytes (const juce::String& text);
juce::String escapeMalformedBytes (const char* bytes, size_t numBytes);

/** The bytes whose escapeMalformedBytes this is. False for text not in that
    form (a "%" without two hex digits, an escaped NUL). */
bool unescapeMalformedBytes (const juce::String& escaped, std::string& bytes);

/** The same as a string, byte for byte; false also when the bytes are not
    safe to hold in a string (isSafeStringBytes). */
bool unescapeMalformedBytes (const juce::String& escaped, juce::String& text);

/** Copies the text as zero-terminated UTF-8 into a buffer of bufferSize bytes
    (bufferSize > 0), cut at a character boundary when it does not fit. */
void copyTextToBuffer (const juce::String& text, char* buffer, size_t bufferSize) noexcept;
}
