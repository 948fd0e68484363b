#include "common/text/SafeStringBytes.h"

#include <cstring>
#include <memory>
#include <new>

namespace zund
{
namespace
{
/** The continuation bytes a lead byte announces, as the framework's stepping
    counts them (a byte of 0xf8 and above announces three, like 0xf0). */
size_t announcedBytes (unsigned char lead) noexcept
{
    if ((lead & 0x40) == 0 || lead < 0x80)
        return 0;
    if ((lead & 0x20) == 0)
        return 1;
    return (lead & 0x10) == 0 ? 2 : 3;
}

size_t bytesNeededFor (juce::uint32 value) noexcept
{
    return value < 0x80 ? 1 : value < 0x800 ? 2 : value < 0x10000 ? 3 : 4;
}

/** The character at `at` as the framework decodes it: whether it is sound, and
    where decoding goes on. */
bool isSoundCharacter (const unsigned char* text, size_t size, size_t at, size_t& next) noexcept
{
    const auto lead = text[at];
    const auto announced = announcedBytes (lead);
    juce::uint32 value = lead & (0x7fu >> announced);
    size_t taken = 1;
    while (taken <= announced && at + taken < size && (text[at + taken] & 0xc0) == 0x80)
        value = (value << 6) | (text[at + taken++] & 0x3fu);

    next = at + taken;
    return value != 0 && bytesNeededFor (value) == taken && at + announced < size;
}

bool checkBytes (const unsigned char* text, size_t size, bool* soundFrom) noexcept
{
    // soundFrom[i]: decoding from i reaches the end through sound characters only.
    for (size_t i = size; i-- > 0;)
    {
        size_t next = 0;
        soundFrom[i] = isSoundCharacter (text, size, i, next) && (next == size || soundFrom[next]);
    }

    // Every place the stepping reaches may start a copy of its own.
    for (size_t i = 0; i < size; i += 1 + announcedBytes (text[i]))
        if (! soundFrom[i])
            return false;
    return true;
}
}

bool isSafeStringBytes (const char* bytes, size_t size) noexcept
{
    if (size == 0)
        return true;
    const auto* text = reinterpret_cast<const unsigned char*> (bytes);

    // File names are short: no allocation for them.
    constexpr size_t onStack = 512;
    if (size <= onStack)
    {
        bool soundFrom[onStack];
        return checkBytes (text, size, soundFrom);
    }
    try
    {
        std::unique_ptr<bool[]> soundFrom (new bool[size]);
        return checkBytes (text, size, soundFrom.get());
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
}

bool isSafeStringBytes (const std::string& bytes) noexcept
{
    return isSafeStringBytes (bytes.data(), bytes.size());
}

bool isSafeString (const juce::String& text) noexcept
{
    const auto* bytes = text.toRawUTF8();
    return isSafeStringBytes (bytes, std::strlen (bytes));
}

juce::String stringOfSafeBytes (const char* bytes, size_t size)
{
    jassert (isSafeStringBytes (bytes, size));
    if (size == 0)
        return {};
    return juce::String (juce::CharPointer_UTF8 (bytes), juce::CharPointer_UTF8 (bytes + size));
}

juce::String stringOfSafeBytes (const std::string& bytes)
{
    return stringOfSafeBytes (bytes.data(), bytes.size());
}
}
