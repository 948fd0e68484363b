#include "library/tasks/PeakFileCues.h"

#include "common/text/NumberText.h"
#include "common/xml/SafeXmlReader.h"

#include <algorithm>
#include <cmath>

namespace zund
{
namespace
{
// Two rows of 2000 small numbers, and the cue points.
const XmlLimits peakFileLimits { 1 << 20, 4 };

/** Held to what the program can set, as the database does: -1..1, unset when it
    is no number. */
float parseCuePoint (const juce::String& text)
{
    if (text.trim().isEmpty())
        return -1.0f;
    const double value = parseRealNumber (text);
    return std::isfinite (value) ? (float) std::clamp (value, -1.0, 1.0) : -1.0f;
}
}

bool readPeakFileCuePoints (const juce::File& peakFile, float (&cuePoints)[ID3DataBaseEntry::numCuePoints])
{
    const auto document = readXmlFileSafely (peakFile, peakFileLimits);
    if (! document.parsed())
        return false;

    const auto* element = document.root->getChildByName ("CuePoints");
    if (element == nullptr)
        return false;

    bool anySet = false;
    for (int i = 0; i < ID3DataBaseEntry::numCuePoints; ++i)
    {
        cuePoints[i] = i < element->getNumAttributes() ? parseCuePoint (element->getAttributeValue (i)) : -1.0f;
        anySet = anySet || cuePoints[i] >= 0.0f;
    }
    return anySet;
}
}
