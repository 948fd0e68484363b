#pragma once

// Header-only and free of the framework: the framework's own folder listing is
// compiled with a patch that includes this file, so that it skips exactly the
// names the program's listings skip (cmake/patches/juce-core-listing-skips-unholdable-names.patch).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace zund
{
namespace safebytes
{
/** The continuation bytes a lead byte announces, as the framework's stepping
    counts them (a byte of 0xf8 and above announces three, like 0xf0). */
inline size_t announcedBytes (unsigned char lead) noexcept
{
    if ((lead & 0x40) == 0 || lead < 0x80)
        return 0;
    if ((lead & 0x20) == 0)
        return 1;
    return (lead & 0x10) == 0 ? 2 : 3;
}

inline size_t bytesNeededFor (std::uint32_t value) noexcept
{
    return value < 0x80 ? 1 : value < 0x800 ? 2 : value < 0x10000 ? 3 : 4;
}

/** The character at `at` as the framework decodes it: whether it is sound, and
    where decoding goes on. */
inline bool isSoundCharacter (const unsigned char* text, size_t size, size_t at, size_t& next) noexcept
{
    const auto lead = text[at];
    const auto announced = announcedBytes (lead);
    std::uint32_t value = lead & (0x7fu >> announced);
    size_t taken = 1;
    while (taken <= announced && at + taken < size && (text[at + taken] & 0xc0) == 0x80)
        value = (value << 6) | (text[at + taken++] & 0x3fu);

    next = at + taken;
    return value != 0 && bytesNeededFor (value) == taken && at + announced < size;
}

inline bool checkBytes (const unsigned char* text, size_t size, bool* soundFrom) noexcept
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
inline bool isSafeStringBytes (const char* bytes, size_t size) noexcept
{
    if (size == 0)
        return true;
    const auto* text = reinterpret_cast<const unsigned char*> (bytes);

    // File names are short: no allocation for them.
    constexpr size_t onStack = 512;
    if (size <= onStack)
    {
        bool soundFrom[onStack];
        return safebytes::checkBytes (text, size, soundFrom);
    }
    std::unique_ptr<bool[]> soundFrom (new (std::nothrow) bool[size]);
    return soundFrom != nullptr && safebytes::checkBytes (text, size, soundFrom.get());
}
}
