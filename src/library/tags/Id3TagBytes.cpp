#include "library/tags/Id3TagBytes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zund::Id3TagBytes
{
namespace
{
constexpr size_t headerSize = 10;

unsigned byteAt (const char* data, size_t at) { return (unsigned char) data[at]; }

size_t syncSafe (const char* data, size_t at)
{
    return (size_t) byteAt (data, at) << 21 | (size_t) byteAt (data, at + 1) << 14
         | (size_t) byteAt (data, at + 2) << 7 | (size_t) byteAt (data, at + 3);
}

size_t bigEndian (const char* data, size_t at, int bytes)
{
    size_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | byteAt (data, at + (size_t) i);
    return value;
}

/** A sync-safe size; as TagLib does, one that cannot be sync-safe is read as a
    plain number (some taggers write those). */
size_t version4FrameSize (const char* data, size_t at)
{
    for (size_t i = 0; i < 4; ++i)
        if ((byteAt (data, at + i) & 0x80) != 0)
            return bigEndian (data, at, 4);
    return syncSafe (data, at);
}

/** Frames whose data starts with a text encoding byte. */
bool startsWithEncoding (const char* id, size_t idLength)
{
    if (id[0] == 'T')
        return true;
    static const char* const fourLetter[] = { "COMM", "USLT", "APIC", "GEOB", "SYLT", "USER", "IPLS", "OWNE", "COMR" };
    static const char* const threeLetter[] = { "COM", "ULT", "PIC", "GEO", "SLT", "IPL" };
    if (idLength == 4)
    {
        for (auto* known : fourLetter)
            if (std::memcmp (id, known, 4) == 0)
                return true;
    }
    else
    {
        for (auto* known : threeLetter)
            if (std::memcmp (id, known, 3) == 0)
                return true;
    }
    return false;
}
}

long findTagStart (const char* data, size_t size)
{
    for (size_t i = 0; i + 3 <= size; ++i)
        if (std::memcmp (data + i, "ID3", 3) == 0)
            return (long) i;
    return -1;
}

bool tagFitsInFile (const char* data, size_t size, long start)
{
    if (start < 0 || (size_t) start > size || size - (size_t) start < headerSize)
        return false;
    const auto at = (size_t) start;
    const bool hasFooter = (byteAt (data, at + 5) & 0x10) != 0; // TagLib counts it in any version
    const auto length = headerSize + syncSafe (data, at + 6) + (hasFooter ? headerSize : 0);
    return length <= size - at;
}

namespace
{
/** Walks the frames of the tag body (the bytes after the tag header, as far as
    the tag claims) and, when `mend` is set, sets each unknown encoding byte to 0. */
TextEncodings walkFrames (char* data, size_t end, size_t position, int version, bool mend)
{
    const size_t idLength = version == 2 ? 3 : 4;
    const size_t frameHeaderSize = version == 2 ? 6 : 10;
    TextEncodings result;
    while (position < end && end - position >= frameHeaderSize && data[position] != 0)
    {
        const auto frameSize = version == 2 ? bigEndian (data, position + 3, 3)
                             : version == 3 ? bigEndian (data, position + 4, 4)
                                            : version4FrameSize (data, position + 4);
        if (frameSize > end - position - frameHeaderSize)
            break;

        // The byte TagLib takes as the encoding: the first after the header, past a
        // data length indicator.
        auto fieldStart = position + frameHeaderSize;
        bool readable = true;
        if (version == 3)
            readable = (byteAt (data, position + 9) & 0xc0) == 0; // compressed, encrypted
        else if (version == 4)
        {
            const auto formatFlags = byteAt (data, position + 9);
            readable = (formatFlags & 0x0c) == 0;
            if ((formatFlags & 0x01) != 0)
                fieldStart += 4;
        }

        if (startsWithEncoding (data + position, idLength))
        {
            if (! readable)
                result.unreadable = true;
            else if (fieldStart < position + frameHeaderSize + frameSize && byteAt (data, fieldStart) > 3)
            {
                result.unknown = true;
                if (mend)
                    data[fieldStart] = 0;
            }
        }
        position += frameHeaderSize + frameSize;
    }
    return result;
}
}

TextEncodings checkTextEncodings (char* data, size_t size, long start, bool mend)
{
    if (start < 0 || (size_t) start > size || size - (size_t) start < headerSize)
        return {};
    const auto at = (size_t) start;
    // Laid out as TagLib reads any version: up to 2 as ID3v2.2, from 4 on as ID3v2.4.
    const auto major = (int) byteAt (data, at + 3);
    const int version = major <= 2 ? 2 : std::min (major, 4);
    const auto flags = byteAt (data, at + 5);

    const auto end = at + std::min (size - at, headerSize + syncSafe (data, at + 6));
    auto position = at + headerSize;
    if (version >= 3 && (flags & 0x40) != 0 && end - position >= 4) // an extended header, skipped as TagLib does
        if (const auto extended = version4FrameSize (data, position); extended <= end - position)
            position += extended;

    if ((flags & 0x80) == 0 || version == 4)
        return walkFrames (data, end, position, version, mend);

    // Unsynchronised as a whole: the frames are where they say only once every
    // 0xff 0x00 is 0xff again. Such a tag is looked at, not mended.
    std::vector<char> plain;
    for (size_t i = std::min (position, end); i < end; ++i)
        if (! (i > position && byteAt (data, i) == 0 && byteAt (data, i - 1) == 0xff))
            plain.push_back (data[i]);
    auto result = walkFrames (plain.data(), plain.size(), 0, version, false);
    result.unreadable = result.unreadable || result.unknown;
    return result;
}
}
