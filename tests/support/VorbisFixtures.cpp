#include "support/VorbisFixtures.h"

#include "audiofile/readers/VorbisSetupHeader.h"
#include "support/OggHeaderPackets.h"
#include "support/TagFixtures.h"

namespace zund::test
{
std::vector<bool> vorbisPacketBits (const std::vector<unsigned char>& packet)
{
    std::vector<bool> bits;
    for (auto byte : packet)
        for (int i = 0; i < 8; ++i)
            bits.push_back (((byte >> i) & 1) != 0);
    return bits;
}

std::vector<unsigned char> vorbisPacketBytes (std::vector<bool> bits)
{
    bits.resize ((bits.size() + 7) / 8 * 8, false);
    std::vector<unsigned char> packet (bits.size() / 8, 0);
    for (size_t i = 0; i < bits.size(); ++i)
        packet[i / 8] |= (unsigned char) (bits[i] ? 1 << (i % 8) : 0);
    return packet;
}

void setVorbisPacketField (std::vector<bool>& bits, size_t at, int width, unsigned value)
{
    for (int i = 0; i < width; ++i)
        bits[at + (size_t) i] = ((value >> i) & 1) != 0;
}

std::vector<unsigned char> withOverfullResidueBook (const std::vector<unsigned char>& setup)
{
    const auto layout = readVorbisSetupLayout (setup.data(), setup.size());
    if (! layout.has_value() || layout->residues.empty())
        return {};
    const auto index = layout->residues.front().classBook;
    if (index < 0 || index >= (int) layout->books.size())
        return {};

    // After the dimensions (16 bits) and the entries (24): the "ordered" flag,
    // then the "sparse" flag, then one 5-bit length - 1 per entry.
    const auto& book = layout->books[(size_t) index];
    const size_t orderedBit = book.dimensionsBit + 16 + 24;
    auto bits = vorbisPacketBits (setup);
    if (book.entries < 3 || bits[orderedBit] || bits[orderedBit + 1])
        return {};
    for (int entry = 0; entry < book.entries; ++entry)
        setVorbisPacketField (bits, orderedBit + 2 + 5 * (size_t) entry, 5, 0);
    return vorbisPacketBytes (bits);
}

bool writeOggWithOverfullCodebook (const juce::File& ogg, double seconds, const juce::StringArray& comments,
                                   int serial)
{
    juce::MemoryBlock data;
    if (! writeOgg (ogg, seconds, comments, serial) || ! ogg.loadFileAsData (data))
        return false;
    const OggHeaderPackets headers (data);
    if (headers.packets.size() < 3)
        return false;
    const auto setup = withOverfullResidueBook (headers.packets[2]);
    if (setup.empty())
        return false;
    const auto patched = headers.withSetup (setup);
    return patched.getSize() > 0 && ogg.replaceWithData (patched.getData(), patched.getSize());
}
}
