#include "engine/timecode/TimecodeCodeTable.h"

#include <gtest/gtest.h>

using namespace zund;

TEST (TimecodeCodeTable, NumbersThePatternsWithoutThreeOnesInARow)
{
    const TimecodeCodeTable table;

    EXPECT_EQ (table[0], 0);
    EXPECT_EQ (table[6], 6);
    EXPECT_EQ (table[7], -1);
    EXPECT_EQ (table[8], 7);
    EXPECT_EQ (table[438], 273);      // 110110110, the last code
    EXPECT_EQ (table[0x1c0], -1);     // 111000000
    EXPECT_EQ (table[0x0e0], -1);     // 011100000

    int codes = 0, next = 0, highest = -1;
    for (std::uint32_t p = 0; p < 512; ++p)
    {
        const int code = table[p];
        if (code < 0)
            continue;
        EXPECT_EQ (code, next++) << "pattern " << p;
        highest = (int) p;
        ++codes;
    }
    EXPECT_EQ (codes, TimecodeCodeTable::numCodes);
    EXPECT_EQ (highest, 438);

    // Only the low nine bits count.
    EXPECT_EQ (table[0x200 | 8], 7);
}
