#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace zund
{
/** What a Vorbis I set-up header says, as far as its residues: the codebooks, the
    books the floors of type 0 use, and the residues, with where each book's fields
    lie (bit offsets from the packet's start). */
struct VorbisSetupLayout
{
    struct Book
    {
        int dimensions = 0;
        int entries = 0;
        int mapType = 0;
        size_t dimensionsBit = 0, mapTypeBit = 0;
        size_t valuesBit = 0, valuesEndBit = 0; // the value list (map types 1 and 2)
    };

    struct Residue
    {
        int type = 0;
        size_t typeBit = 0;
        int classBook = 0;
        std::vector<int> stageBooks;
    };

    std::vector<Book> books;
    std::vector<int> floorBooks;
    std::vector<Residue> residues;
};

/** Reads a set-up header packet; nothing when it is none, ends early or holds a
    field that Vorbis I does not allow. */
std::optional<VorbisSetupLayout> readVorbisSetupLayout (const unsigned char* packet, size_t bytes);

/** False for a set-up header that libvorbis (1.3.7) accepts and then cannot decode
    with: a residue or a floor of type 0 whose book has no dimensions makes its
    decoder divide by zero (the process dies) or loop for ever, and a book of map
    type 1 without dimensions keeps its decoder's set-up working out the book's
    lattice for ever. Also false for a packet that is no set-up header. */
bool isDecodableVorbisSetup (const unsigned char* packet, size_t bytes);
}
