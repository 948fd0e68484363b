#pragma once

#include <cstdint>

namespace zund
{
/** The 9-bit fields of a timecode word: a pattern with three 1 bits in a row
    is no code (so the word's sync run of three 1s is unique); the others are
    numbered 0..273 in ascending order of the pattern. */
class TimecodeCodeTable
{
public:
    static constexpr int numPatterns = 512;
    static constexpr int numCodes = 274;

    TimecodeCodeTable() noexcept;

    /** Code number of the low 9 bits of `pattern`, or -1 when they are no code. */
    int operator[] (std::uint32_t pattern) const noexcept { return entries[pattern & (numPatterns - 1)]; }

private:
    std::int32_t entries[numPatterns];
};
}
