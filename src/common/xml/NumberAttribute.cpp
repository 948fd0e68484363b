#include "common/xml/NumberAttribute.h"

#include "common/text/NumberText.h"

namespace zund
{
int readWholeNumberAttribute (const juce::XmlElement& element, const juce::String& name, int missing)
{
    if (! element.hasAttribute (name))
        return missing;

    // Text that starts with no number is as good as none (not the 0 the framework reads).
    const auto& text = element.getStringAttribute (name);
    auto start = text.getCharPointer().findEndOfWhitespace();
    if (*start == '-')
        ++start;
    return juce::CharacterFunctions::isDigit (*start) ? parseWholeNumber (text) : missing;
}
}
