#pragma once

#include <juce_core/juce_core.h>

#include <string>

namespace zund::test
{
/** An attribute value as a writer that puts out a string's own bytes makes it
    (the song database's does): markup and control characters as references,
    everything else as it is. */
inline std::string rawXmlAttribute (const juce::String& value)
{
    std::string out;
    for (auto* c = value.toRawUTF8(); *c != 0; ++c)
    {
        const auto byte = (unsigned char) *c;
        if (byte == '&' || byte == '<' || byte == '>' || byte == '"' || byte < 0x20)
            out += "&#" + std::to_string (byte) + ";";
        else
            out += *c;
    }
    return out;
}
}
