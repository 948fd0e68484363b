#pragma once

#include <juce_core/juce_core.h>

#include <string>

namespace zund::test
{
/** A device's active channels written as on a patchbay, device channel 0
    first: "0011" has channels 2 and 3 connected. */
inline juce::BigInteger channelPattern (const std::string& pattern)
{
    juce::BigInteger set;
    for (size_t c = 0; c < pattern.size(); ++c)
        set.setBit ((int) c, pattern[c] == '1');
    return set;
}
}
