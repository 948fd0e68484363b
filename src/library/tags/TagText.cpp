#include "library/tags/TagText.h"

#include "common/text/SafeStringBytes.h"

#include <cstring>
#include <string>

namespace zund
{
namespace
{
constexpr juce::juce_wchar replacementCharacter = 0xfffd;

/** Length of the well-formed UTF-8 sequence at text[0], or 0 when there is none. */
size_t wellFormedSequenceLength (const juce::uint8* text, size_t available, juce::juce_wchar& codePoint) noexcept
{
    const auto lead = text[0];
    if (lead < 0x80)
    {
        codePoint = lead;
        return lead != 0 ? 1 : 0;
    }

    size_t length;
    juce::juce_wchar smallest;
    if (lead >= 0xc2 && lead <= 0xdf)      { length = 2; codePoint = lead & 0x1f; smallest = 0x80; }
    else if (lead >= 0xe0 && lead <= 0xef) { length = 3; codePoint = lead & 0x0f; smallest = 0x800; }
    else if (lead >= 0xf0 && lead <= 0xf4) { length = 4; codePoint = lead & 0x07; smallest = 0x10000; }
    else return 0;

    if (available < length)
        return 0;
    for (size_t k = 1; k < length; ++k)
    {
        if ((text[k] & 0xc0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (text[k] & 0x3f);
    }

    const bool surrogate = codePoint >= 0xd800 && codePoint <= 0xdfff;
    return codePoint >= smallest && codePoint <= 0x10ffff && ! surrogate ? length : 0;
}
}

bool isWellFormedUtf8 (const char* bytes, size_t numBytes) noexcept
{
    auto* text = reinterpret_cast<const juce::uint8*> (bytes);
    juce::juce_wchar ignored;
    for (size_t i = 0; i < numBytes;)
    {
        if (text[i] - 1u < 0x7fu) // ASCII other than NUL, the bulk of any text
        {
            ++i;
            continue;
        }
        const auto length = wellFormedSequenceLength (text + i, numBytes - i, ignored);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

juce::String textFromUtf8 (const char* bytes, size_t numBytes)
{
    if (isWellFormedUtf8 (bytes, numBytes))
        return juce::String::fromUTF8 (bytes, (int) numBytes);

    auto* text = reinterpret_cast<const juce::uint8*> (bytes);
    juce::Array<juce::juce_wchar> codePoints;
    for (size_t i = 0; i < numBytes;)
    {
        juce::juce_wchar c;
        const auto length = wellFormedSequenceLength (text + i, numBytes - i, c);
        if (length == 0)
        {
            // A NUL inside the text ends nothing here: it is replaced like any bad byte.
            codePoints.add (replacementCharacter);
            ++i;
        }
        else
        {
            codePoints.add (c);
            i += length;
        }
    }
    codePoints.add (0);
    return juce::String (juce::CharPointer_UTF32 (codePoints.getRawDataPointer()));
}

juce::String makeValidText (const juce::String& text)
{
    const auto* bytes = text.toRawUTF8();
    const auto numBytes = std::strlen (bytes);
    return isWellFormedUtf8 (bytes, numBytes) ? text : textFromUtf8 (bytes, numBytes);
}

bool isWellFormedText (const juce::String& text)
{
    const auto* bytes = text.toRawUTF8();
    return isWellFormedUtf8 (bytes, std::strlen (bytes));
}

juce::String escapeMalformedBytes (const juce::String& text)
{
    const auto* bytes = text.toRawUTF8();
    return escapeMalformedBytes (bytes, std::strlen (bytes));
}

juce::String escapeMalformedBytes (const char* text, size_t numBytes)
{
    const auto* bytes = reinterpret_cast<const juce::uint8*> (text);
    std::string escaped;
    escaped.reserve (numBytes + 16);
    for (size_t i = 0; i < numBytes;)
    {
        juce::juce_wchar ignored;
        const auto length = wellFormedSequenceLength (bytes + i, numBytes - i, ignored);
        if (length == 0 || bytes[i] == '%')
        {
            const char* const hex = "0123456789ABCDEF";
            escaped += '%';
            escaped += hex[bytes[i] >> 4];
            escaped += hex[bytes[i] & 15];
            ++i;
        }
        else
        {
            escaped.append (reinterpret_cast<const char*> (bytes + i), length);
            i += length;
        }
    }
    return juce::String::fromUTF8 (escaped.data(), (int) escaped.size());
}

bool unescapeMalformedBytes (const juce::String& escaped, std::string& bytes)
{
    auto hexValue = [] (char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };

    const auto* in = escaped.toRawUTF8();
    bytes.clear();
    bytes.reserve (std::strlen (in));
    for (; *in != 0; ++in)
    {
        if (*in != '%')
        {
            bytes += *in;
            continue;
        }
        const int high = hexValue (in[1]);
        const int low = high < 0 ? -1 : hexValue (in[2]);
        if (low < 0 || high + low == 0)
            return false;
        bytes += (char) (high * 16 + low);
        in += 2;
    }
    return true;
}

bool unescapeMalformedBytes (const juce::String& escaped, juce::String& text)
{
    std::string bytes;
    if (! unescapeMalformedBytes (escaped, bytes) || ! isSafeStringBytes (bytes))
        return false;
    text = stringOfSafeBytes (bytes);
    return true;
}

void copyTextToBuffer (const juce::String& text, char* buffer, size_t bufferSize) noexcept
{
    const auto* bytes = reinterpret_cast<const juce::uint8*> (text.toRawUTF8());
    size_t length = std::strlen (reinterpret_cast<const char*> (bytes));
    if (length >= bufferSize)
    {
        length = bufferSize - 1;
        while (length > 0 && (bytes[length] & 0xc0) == 0x80) // do not split a character
            --length;
    }
    std::memcpy (buffer, bytes, length);
    buffer[length] = 0;
}
}
