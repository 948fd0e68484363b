#include "library/browser/SongRowComparator.h"

#include "common/text/NumberText.h"
#include "library/browser/SongTableColumns.h"

#include <cstring>

namespace zund
{
namespace
{
enum class Rule
{
    text,
    number,
    leadingNumber,
    time
};

Rule ruleOf (int columnId)
{
    switch (columnId)
    {
        case SongTableColumns::bpm:
        case SongTableColumns::year:
        case SongTableColumns::kiloHertz:
            return Rule::number;
        case SongTableColumns::quality:
            return Rule::leadingNumber;
        case SongTableColumns::time:
            return Rule::time;
        default:
            return Rule::text;
    }
}

template <typename T>
int threeWay (T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Code point order, as the framework's comparison gives it: UTF-8 bytes sort
// the same way, without decoding them.
int compareTexts (const juce::String& a, const juce::String& b)
{
    return std::strcmp (a.toRawUTF8(), b.toRawUTF8());
}
}

SongRowComparator::SongRowComparator (juce::Array<int> columnIds)
    : columns (std::move (columnIds))
{
}

int SongRowComparator::timeTextToSeconds (const juce::String& text)
{
    juce::StringArray parts;
    parts.addTokens (text.trim(), ":", "");
    if (parts.isEmpty() || parts.size() > 3 || parts[0].isEmpty() || ! juce::CharacterFunctions::isDigit (parts[0][0]))
        return -1;

    int seconds = 0;
    for (const auto& part : parts)
        seconds = seconds * 60 + part.getIntValue();
    return seconds;
}

SongRowComparator::Field SongRowComparator::makeField (int columnId, const juce::String& cell)
{
    Field field;
    switch (ruleOf (columnId))
    {
        case Rule::number:
            field.number = parseRealNumber (cell);
            field.text = cell.toLowerCase();
            break;
        case Rule::leadingNumber:
        {
            const auto head = cell.upToFirstOccurrenceOf (" ", false, false);
            field.number = parseRealNumber (head);
            field.text = head.toLowerCase();
            break;
        }
        case Rule::time:
            field.number = timeTextToSeconds (cell);
            break;
        case Rule::text:
            field.text = cell.toLowerCase();
            break;
    }
    return field;
}

int SongRowComparator::compareFields (int columnId, const Field& a, const Field& b)
{
    switch (ruleOf (columnId))
    {
        case Rule::number:
        case Rule::leadingNumber:
            if (a.number == 0.0 && b.number == 0.0)
                return compareTexts (a.text, b.text);
            return threeWay (a.number, b.number);
        case Rule::time:
            return threeWay (a.number, b.number);
        case Rule::text:
            break;
    }
    return compareTexts (a.text, b.text);
}

SongRowComparator::Key SongRowComparator::makeKey (const juce::StringArray& cells) const
{
    Key key;
    key.reserve ((size_t) columns.size());
    for (const int id : columns)
        key.push_back (makeField (id, cells[id - 1]));
    return key;
}

int SongRowComparator::compare (const Key& a, const Key& b) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (const int result = compareFields (columns.getUnchecked (i), a[(size_t) i], b[(size_t) i]); result != 0)
            return result < 0 ? -1 : 1;
    return 0;
}

int SongRowComparator::compareCells (int columnId, const juce::String& a, const juce::String& b)
{
    return compareFields (columnId, makeField (columnId, a), makeField (columnId, b));
}
}
