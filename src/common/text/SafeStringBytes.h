#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <string>

namespace zund
{
/** Whether these bytes (a file name or path from the disk) can be held in a
    juce::String without the framework's text code reading or writing past its
    buffers. Its strings walk UTF-8 three ways that disagree on bytes that are
    not UTF-8: the copying constructor sizes its buffer by decoding character by
    character until a decoded 0 and then copies up to the real end, while index
    operations step by the length a lead byte announces. Safe: from the start,
    and from every place that stepping reaches, each character decodes to a value
    other than 0 that needs exactly the bytes it takes, and no lead byte
    announces more bytes than are left. Well-formed UTF-8 is safe, and so is
    most Latin-1 ("caf\xe9.mp3"); a lone 0x80, "voil\xe0.mp3", an overlong
    "\xc1\xa1" or a name ending in a lead byte are not. */
bool isSafeStringBytes (const char* bytes, size_t size) noexcept;
bool isSafeStringBytes (const std::string& bytes) noexcept;

/** isSafeStringBytes of a string already made (a path the framework hands over:
    a dropped file). */
bool isSafeString (const juce::String& text) noexcept;

/** A string holding exactly these bytes, copied as they are (the framework's
    decoding constructor would change them). Only for bytes that are safe. */
juce::String stringOfSafeBytes (const char* bytes, size_t size);
juce::String stringOfSafeBytes (const std::string& bytes);
}
