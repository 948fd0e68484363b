#include "library/tree/StoredHeaderLayout.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
const HeaderWidthLimits limits { 30, 4000, 16000 };

juce::String layout (const juce::String& columns, const juce::String& sort = "sortedCol=\"3\" sortForwards=\"0\"")
{
    return "<TABLELAYOUT " + sort + ">" + columns + "</TABLELAYOUT>";
}

juce::String column (const juce::String& id, const juce::String& visible, const juce::String& width)
{
    return "<COLUMN id=\"" + id + "\" visible=\"" + visible + "\" width=\"" + width + "\"/>";
}
}

// What the framework's header writes comes back unchanged.
TEST (StoredHeaderLayout, ASaneLayoutIsKeptAsItIs)
{
    const auto stored = layout (column ("1", "1", "40") + column ("2", "1", "200") + column ("3", "0", "100"));
    EXPECT_EQ (makeRestorableHeaderLayout (stored, limits), stored);
}

// A width the framework took on trust overflowed its layout's sums.
TEST (StoredHeaderLayout, WidthsAreHeldToTheLimits)
{
    struct Case { const char* width; const char* expected; };
    for (const auto& c : { Case { "2147483647", "4000" }, Case { "99999999999999999999", "4000" }, Case { "-2147483648", "30" },
                           Case { "0", "30" }, Case { "abc", "30" }, Case { "1e9999999999", "30" }, Case { "4000", "4000" },
                           Case { "31", "31" } })
        EXPECT_EQ (makeRestorableHeaderLayout (layout (column ("2", "1", c.width)), limits),
                   layout (column ("2", "1", c.expected))) << c.width;
}

// Thirteen columns at the largest width are narrowed together to the total.
TEST (StoredHeaderLayout, TheVisibleTotalIsNarrowedInProportion)
{
    juce::String stored, expected;
    for (int id = 1; id <= 13; ++id)
    {
        stored += column (juce::String (id), id == 13 ? "0" : "1", id <= 6 ? "9999" : "2000");
        expected += column (juce::String (id), id == 13 ? "0" : "1", id == 13 ? "2000" : id <= 6 ? "1777" : "888");
    }
    // Visible: 6 x 4000 + 6 x 2000 = 36000, scaled to 16000.
    EXPECT_EQ (makeRestorableHeaderLayout (layout (stored), limits), layout (expected));
}

TEST (StoredHeaderLayout, AnythingButALayoutGivesNothing)
{
    for (const char* text : { "", "not xml", "<OTHER/>", "<!DOCTYPE x SYSTEM \"/dev/zero\"><TABLELAYOUT/>", "<TABLELAYOUT>" })
        EXPECT_EQ (makeRestorableHeaderLayout (text, limits), "") << text;
    EXPECT_EQ (makeRestorableHeaderLayout ("<TABLELAYOUT sortedCol=\"-2147483648\"/>", limits),
               "<TABLELAYOUT sortedCol=\"-2147483648\" sortForwards=\"1\"/>");
}
