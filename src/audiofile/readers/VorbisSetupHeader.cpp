#include "audiofile/readers/VorbisSetupHeader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zund
{
namespace
{
/** Vorbis packs fields from each byte's lowest bit up. */
class BitReader
{
public:
    BitReader (const unsigned char* d, size_t bytes) : data (d), numBits (bytes * 8) {}

    /** Up to 32 bits; 0 once past the end (see overran). */
    uint32_t read (int bits)
    {
        if ((size_t) bits > numBits - std::min (position, numBits))
        {
            position = numBits + 1;
            return 0;
        }
        uint32_t value = 0;
        for (int i = 0; i < bits; ++i, ++position)
            value |= (uint32_t) ((data[position >> 3] >> (position & 7)) & 1) << i;
        return value;
    }

    bool skip (uint64_t bits)
    {
        if (bits > numBits - std::min (position, numBits))
        {
            position = numBits + 1;
            return false;
        }
        position += (size_t) bits;
        return true;
    }

    bool overran() const noexcept { return position > numBits; }
    size_t bit() const noexcept { return position; }

private:
    const unsigned char* data;
    size_t numBits, position = 0;
};

int bitsFor (uint32_t value)
{
    int bits = 0;
    for (; value != 0; value >>= 1)
        ++bits;
    return bits;
}

/** The greatest v with v^dimensions <= entries: the values per dimension of a
    map type 1 book (libvorbis takes 0 for a book without dimensions). */
uint64_t latticeValues (uint64_t entries, int dimensions)
{
    if (dimensions <= 0 || entries == 0)
        return 0;
    auto powerFits = [entries, dimensions] (uint64_t v) {
        uint64_t product = 1;
        for (int i = 0; i < dimensions; ++i)
        {
            if (product > entries / v)
                return false;
            product *= v;
        }
        return true;
    };
    uint64_t low = 1, high = entries; // powerFits (low) always holds
    while (low < high)
    {
        const auto middle = low + (high - low + 1) / 2;
        if (powerFits (middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

bool readBook (BitReader& bits, VorbisSetupLayout::Book& book)
{
    if (bits.read (24) != 0x564342)
        return false;
    book.dimensionsBit = bits.bit();
    book.dimensions = (int) bits.read (16);
    book.entries = (int) bits.read (24);

    if (bits.read (1) == 0) // lengths one by one
    {
        const bool sparse = bits.read (1) != 0;
        for (int i = 0; i < book.entries && ! bits.overran(); ++i)
            if (! sparse || bits.read (1) != 0)
                bits.read (5);
    }
    else // lengths in runs
    {
        int length = (int) bits.read (5) + 1;
        for (uint32_t entry = 0; entry < (uint32_t) book.entries && ! bits.overran(); ++length)
        {
            entry += bits.read (bitsFor ((uint32_t) book.entries - entry));
            if (length > 32 || entry > (uint32_t) book.entries)
                return false;
        }
    }

    book.mapTypeBit = bits.bit();
    book.mapType = (int) bits.read (4);
    if (book.mapType == 1 || book.mapType == 2)
    {
        bits.read (32); // minimum
        bits.read (32); // delta
        const auto valueBits = bits.read (4) + 1;
        bits.read (1); // sequence flag
        const uint64_t values = book.mapType == 1 ? latticeValues ((uint64_t) book.entries, book.dimensions)
                                                  : (uint64_t) book.entries * (uint64_t) book.dimensions;
        book.valuesBit = bits.bit();
        if (! bits.skip (values * valueBits))
            return false;
        book.valuesEndBit = bits.bit();
    }
    else if (book.mapType != 0)
    {
        return false;
    }
    return ! bits.overran();
}

bool readFloor (BitReader& bits, VorbisSetupLayout& layout)
{
    const auto type = bits.read (16);
    if (type == 0)
    {
        bits.read (8);  // order
        bits.read (16); // rate
        bits.read (16); // bark map size
        bits.read (6);  // amplitude bits
        bits.read (8);  // amplitude offset
        const int numBooks = (int) bits.read (4) + 1;
        for (int i = 0; i < numBooks; ++i)
            layout.floorBooks.push_back ((int) bits.read (8));
        return ! bits.overran();
    }
    if (type != 1)
        return false;

    const int partitions = (int) bits.read (5);
    int classOf[32] {};
    int largestClass = -1;
    for (int i = 0; i < partitions; ++i)
        largestClass = std::max (largestClass, classOf[i] = (int) bits.read (4));

    int classDimensions[16] {};
    for (int c = 0; c <= largestClass; ++c)
    {
        classDimensions[c] = (int) bits.read (3) + 1;
        const int subclassBits = (int) bits.read (2);
        if (subclassBits != 0)
            bits.read (8); // master book
        for (int k = 0; k < (1 << subclassBits); ++k)
            bits.read (8); // subclass book
    }
    bits.read (2); // multiplier
    const int rangeBits = (int) bits.read (4);
    for (int i = 0; i < partitions && ! bits.overran(); ++i)
        for (int k = 0; k < classDimensions[classOf[i]]; ++k)
            bits.read (rangeBits);
    return ! bits.overran();
}

bool readResidue (BitReader& bits, VorbisSetupLayout::Residue& residue)
{
    residue.typeBit = bits.bit();
    residue.type = (int) bits.read (16);
    if (residue.type > 2)
        return false;
    bits.read (24); // begin
    bits.read (24); // end
    bits.read (24); // partition size
    const int classifications = (int) bits.read (6) + 1;
    residue.classBook = (int) bits.read (8);

    int cascades[64] {};
    for (int i = 0; i < classifications; ++i)
    {
        cascades[i] = (int) bits.read (3);
        if (bits.read (1) != 0)
            cascades[i] |= (int) bits.read (5) << 3;
    }
    for (int i = 0; i < classifications; ++i)
        for (int stage = 0; stage < 8; ++stage)
            if ((cascades[i] & (1 << stage)) != 0)
                residue.stageBooks.push_back ((int) bits.read (8));
    return ! bits.overran();
}
}

std::optional<VorbisSetupLayout> readVorbisSetupLayout (const unsigned char* packet, size_t bytes)
{
    if (packet == nullptr || bytes < 7 || packet[0] != 5 || std::memcmp (packet + 1, "vorbis", 6) != 0)
        return std::nullopt;

    BitReader bits (packet, bytes);
    bits.skip (7 * 8);
    VorbisSetupLayout layout;

    layout.books.resize (bits.read (8) + 1);
    for (auto& book : layout.books)
        if (! readBook (bits, book))
            return std::nullopt;

    const int numTimeTransforms = (int) bits.read (6) + 1;
    for (int i = 0; i < numTimeTransforms; ++i)
        if (bits.read (16) != 0)
            return std::nullopt;

    const int numFloors = (int) bits.read (6) + 1;
    for (int i = 0; i < numFloors; ++i)
        if (! readFloor (bits, layout))
            return std::nullopt;

    layout.residues.resize (bits.read (6) + 1);
    for (auto& residue : layout.residues)
        if (! readResidue (bits, residue))
            return std::nullopt;

    return layout;
}

bool isDecodableVorbisSetup (const unsigned char* packet, size_t bytes)
{
    const auto layout = readVorbisSetupLayout (packet, bytes);
    if (! layout.has_value())
        return false;

    for (const auto& book : layout->books)
        if (book.mapType == 1 && book.dimensions == 0)
            return false;

    auto hasDimensions = [&layout] (int book) {
        return book < 0 || book >= (int) layout->books.size() || layout->books[(size_t) book].dimensions > 0;
    };
    for (const auto book : layout->floorBooks)
        if (! hasDimensions (book))
            return false;
    for (const auto& residue : layout->residues)
    {
        if (! hasDimensions (residue.classBook))
            return false;
        for (const auto book : residue.stageBooks)
            if (! hasDimensions (book))
                return false;
    }
    return true;
}
}
