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

/** Frames whose data starts with a text encoding byte (TagLib takes WFED, MVNM,
    MVIN and GRP1 as text frames too). */
bool startsWithEncoding (const char* id, size_t idLength)
{
    if (id[0] == 'T')
        return true;
    static const char* const fourLetter[] = { "COMM", "USLT", "APIC", "GEOB", "SYLT", "USER", "IPLS", "OWNE",
                                              "COMR", "WFED", "MVNM", "MVIN", "GRP1" };
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

bool isFrameIdCharacter (char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

/** TagLib's test of a frame id, four characters inside the data. */
bool isValidFrameId (const char* data, size_t size, size_t at)
{
    if (at > size || size - at < 4)
        return false;
    return std::all_of (data + at, data + at + 4, isFrameIdCharacter);
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
/** The byte at `index` of frame data once unsynchronised (every 0xff 0x00 made
    0xff again, as TagLib decodes it); 0 when the data is shorter. */
unsigned unsynchronisedByte (const char* data, size_t from, size_t end, size_t index)
{
    for (size_t raw = from, decoded = 0; raw < end; ++decoded)
    {
        const auto b = byteAt (data, raw++);
        if (decoded == index)
            return b;
        if (b == 0xff && raw < end && data[raw] == 0)
            ++raw;
    }
    return 0;
}

/** Walks the frames of a tag body (the bytes after the tag header) as TagLib 1.13
    does, frame size quirks included, and when `mend` is set, sets each unknown
    encoding byte to 0. `version` is the layout: 2, 3 or 4. */
TextEncodings walkFrames (char* body, size_t size, int version, unsigned char tagFlags, bool mend)
{
    const size_t frameHeaderSize = version == 2 ? 6 : 10;
    size_t position = 0, length = size;
    if ((tagFlags & 0x40) != 0 && size >= 4) // an extended header, whatever the version
        if (const auto extended = version4FrameSize (body, 0); extended <= size)
        {
            position += extended;
            length -= extended; // TagLib shortens the frames' room by it as well
        }
    if ((tagFlags & 0x10) != 0 && length >= headerSize) // a footer
        length -= headerSize;

    TextEncodings result;
    while (length > frameHeaderSize && position < length - frameHeaderSize && body[position] != 0)
    {
        // Each frame is read from the rest of the body, past the frames' room.
        const size_t available = size - position;
        if (available < frameHeaderSize)
            break;
        const char* frame = body + position;

        size_t frameSize = 0;
        bool compressed = false, encrypted = false, lengthIndicator = false, unsynchronised = false;
        if (version == 2)
            frameSize = bigEndian (frame, 3, 3);
        else if (version == 3)
        {
            frameSize = bigEndian (frame, 4, 4);
            compressed = (byteAt (frame, 9) & 0x80) != 0;
            encrypted = (byteAt (frame, 9) & 0x40) != 0;
        }
        else
        {
            frameSize = version4FrameSize (frame, 4);
            if (frameSize > 127 && ! isValidFrameId (frame, available, frameSize + 10))
                if (const auto plain = bigEndian (frame, 4, 4); isValidFrameId (frame, available, plain + 10))
                    frameSize = plain; // written with ID3v2.3 sizes (iTunes)
            compressed = (byteAt (frame, 9) & 0x08) != 0;
            encrypted = (byteAt (frame, 9) & 0x04) != 0;
            lengthIndicator = (byteAt (frame, 9) & 0x01) != 0;
            unsynchronised = (byteAt (frame, 9) & 0x02) != 0 || (tagFlags & 0x80) != 0;
        }

        // ID3v2.3 frames of an ID3v2.2 id (iTunes) end their id with a zero.
        const size_t idLength = version == 2 || (version == 3 && frame[3] == 0) ? 3 : 4;
        if (frameSize <= (lengthIndicator ? 4u : 0u) || frameSize > available
            || ! std::all_of (frame, frame + idLength, isFrameIdCharacter))
            break; // TagLib stops reading the tag here

        if (startsWithEncoding (frame, idLength))
        {
            const auto fieldStart = position + frameHeaderSize + (compressed || lengthIndicator ? 4 : 0);
            const auto frameEnd = std::min (size, position + frameHeaderSize + frameSize);
            if (compressed || encrypted)
                result.unreadable = true;
            else if (unsynchronised)
            {
                // Where the byte lies only shows once the frame is decoded, and a 0 put after
                // an 0xff would itself be decoded away: looked at, not mended.
                if (unsynchronisedByte (body, position + frameHeaderSize, frameEnd, lengthIndicator ? 4 : 0) > 3)
                    result.unreadable = true;
            }
            else if (fieldStart < frameEnd && byteAt (body, fieldStart) > 3)
            {
                result.unknown = true;
                if (mend)
                    body[fieldStart] = 0;
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
    const auto flags = (unsigned char) byteAt (data, at + 5);
    auto* body = data + at + headerSize;
    const auto bodySize = std::min (size - at - headerSize, syncSafe (data, at + 6));

    if ((flags & 0x80) == 0 || version == 4)
        return walkFrames (body, bodySize, version, flags, mend);

    // Unsynchronised as a whole: the frames are where they say only once every
    // 0xff 0x00 is 0xff again. Such a tag is looked at, not mended.
    std::vector<char> plain;
    plain.reserve (bodySize);
    size_t i = 0;
    while (i + 1 < bodySize)
    {
        plain.push_back (body[i++]);
        if (byteAt (body, i - 1) == 0xff && body[i] == 0)
            ++i;
    }
    if (i < bodySize)
        plain.push_back (body[i]);
    auto result = walkFrames (plain.data(), plain.size(), version, flags, false);
    result.unreadable = result.unreadable || result.unknown;
    return result;
}
}
