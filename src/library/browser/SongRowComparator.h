#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace zund
{
/** The song table's row order: the visible columns from left to right, the
    first column that differs decides. BPM, YEAR and KHZ compare as numbers
    (as text when both are 0), KBPS/BIT by the number before its first space
    (same rule), TIME by its length in seconds, every other column as text
    ignoring case. There is no descending order.

    Rows are turned into keys once (makeKey) so that a sort compares prepared
    values; keys can be made and compared on any thread. */
class SongRowComparator
{
public:
    /** The visible columns, left to right. */
    explicit SongRowComparator (juce::Array<int> columnIds);

    struct Field
    {
        double number = 0.0;
        juce::String text; // lower case
    };

    using Key = std::vector<Field>;

    /** The key of a row from its cells (index = column id - 1). */
    Key makeKey (const juce::StringArray& cells) const;
    /** Negative, 0 or positive, like a string comparison. */
    int compare (const Key& a, const Key& b) const;

    /** Two cell texts of one column, by the column's rule. */
    static int compareCells (int columnId, const juce::String& a, const juce::String& b);

    /** A cell prepared for comparing by its column's rule, and two of them
        compared: for sorts that look at the next column only where the ones
        before are equal. */
    static Field makeField (int columnId, const juce::String& cell);
    static int compareFields (int columnId, const Field& a, const Field& b);

    const juce::Array<int>& getColumns() const noexcept { return columns; }

    /** "m:ss" or "h:mm:ss" as seconds; -1 for text without a time. */
    static int timeTextToSeconds (const juce::String& text);

private:
    juce::Array<int> columns;
};
}
