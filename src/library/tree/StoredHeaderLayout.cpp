#include "library/tree/StoredHeaderLayout.h"

#include "common/text/NumberText.h"
#include "common/xml/SafeXmlReader.h"

#include <cstring>
#include <vector>

namespace zund
{
namespace
{
/** The framework's own reading of a flag: a leading 1, t or y. */
bool isTrue (const juce::String& text, bool missing)
{
    if (text.isEmpty())
        return missing;
    const auto first = *text.getCharPointer().findEndOfWhitespace();
    return first == '1' || first == 't' || first == 'y' || first == 'T' || first == 'Y';
}
}

juce::String makeRestorableHeaderLayout (const juce::String& stored, const HeaderWidthLimits& limits)
{
    const auto* utf8 = stored.toRawUTF8();
    const auto parsed = parseXmlSafely (utf8, std::strlen (utf8), { 1 << 16, 4 });
    if (! parsed.parsed() || ! parsed.root->hasTagName ("TABLELAYOUT"))
        return {};

    struct Column { int id, width; bool visible; };
    std::vector<Column> columns;
    juce::int64 total = 0;
    for (const auto* column : parsed.root->getChildIterator())
    {
        const int width = juce::jlimit (limits.smallestColumn, limits.largestColumn,
                                        parseWholeNumber (column->getStringAttribute ("width")));
        const bool visible = isTrue (column->getStringAttribute ("visible"), false);
        columns.push_back ({ parseWholeNumber (column->getStringAttribute ("id")), width, visible });
        total += visible ? width : 0;
    }

    if (total > limits.largestTotal)
        for (auto& column : columns)
            if (column.visible)
                column.width = juce::jmax (limits.smallestColumn,
                                           (int) ((juce::int64) column.width * limits.largestTotal / total));

    juce::XmlElement layout ("TABLELAYOUT");
    layout.setAttribute ("sortedCol", parseWholeNumber (parsed.root->getStringAttribute ("sortedCol")));
    layout.setAttribute ("sortForwards", isTrue (parsed.root->getStringAttribute ("sortForwards"), true));
    for (const auto& c : columns)
    {
        auto* column = layout.createNewChildElement ("COLUMN");
        column->setAttribute ("id", c.id);
        column->setAttribute ("visible", c.visible);
        column->setAttribute ("width", c.width);
    }
    return layout.toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
}
}
