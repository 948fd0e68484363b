#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace zund::test
{
/** Packet bits, lowest bit of each byte first, as Vorbis packs them. */
std::vector<bool> vorbisPacketBits (const std::vector<unsigned char>& packet);
/** The packet of these bits, the last byte padded with zeros. */
std::vector<unsigned char> vorbisPacketBytes (std::vector<bool> bits);
/** Writes `value` into `width` bits from bit `at`, lowest first. */
void setVorbisPacketField (std::vector<bool>& bits, size_t at, int width, unsigned value);

/** The set-up header with the first residue's classification book rewritten so
    that every codeword is one bit long: more codewords than a prefix code has
    room for. Empty when that book's lengths are not listed one by one in full
    (as oggenc writes it) or it has too few entries to overflow. */
std::vector<unsigned char> withOverfullResidueBook (const std::vector<unsigned char>& setup);

/** A short Ogg Vorbis file from oggenc (see writeOgg) whose set-up header has the
    over-full codebook of withOverfullResidueBook, on pages whose checksums are
    right. False when oggenc's header could not be rewritten so. */
bool writeOggWithOverfullCodebook (const juce::File& ogg, double seconds, const juce::StringArray& comments,
                                   int serial = 1);
}
