#include "audiofile/peaks/PeakFileFormat.h"

#include "common/text/NumberText.h"
#include "common/xml/SafeXmlReader.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zund::PeakFileFormat
{
namespace
{
// A real cache is some 40 kB, the root and its two waves; anything more is not one of ours.
const XmlLimits peakFileLimits { 1 << 20, 2 };
constexpr int largestValue = 100;

/** value x 100 truncated, held within what `read` accepts (a loud float track peaks
    beyond full scale). */
int toStoredValue (float value) noexcept
{
    const double scaled = (double) value * 100.0;
    if (std::isnan (scaled))
        return 0;
    return (int) std::clamp (scaled, (double) -largestValue, (double) largestValue);
}

bool readValues (const juce::XmlElement* element, std::vector<float>& values)
{
    if (element == nullptr)
        return false;

    // Copied out in one walk: the element finds an attribute by position by
    // walking its list, which for 2000 of them costs milliseconds of a load.
    juce::NamedValueSet attributes;
    attributes.setFromXmlAttributes (*element);
    if (attributes.size() != numValues)
        return false;

    values.resize (numValues);
    for (int i = 0; i < numValues; ++i)
    {
        const auto text = attributes.getValueAt (i).toString().trim();
        const auto digits = text.startsWithChar ('-') ? text.substring (1) : text;
        if (digits.isEmpty() || ! digits.containsOnly ("0123456789") || digits.length() > 3)
            return false;
        const int value = text.getIntValue();
        if (value < -largestValue || value > largestValue)
            return false;
        values[(size_t) i] = (float) value * 0.01f;
    }
    return true;
}

std::unique_ptr<juce::XmlElement> makeWave (const char* name, const float* values)
{
    auto wave = std::make_unique<juce::XmlElement> (name);
    for (int i = 0; i < numValues; ++i)
        wave->setAttribute ("d" + juce::String (i), toStoredValue (values[i]));
    return wave;
}
}

bool read (const juce::File& peakFile, juce::int64 lastWriteTime, juce::int64 size, float* peaks, float* averages)
{
    const auto parsed = readXmlFileSafely (peakFile, peakFileLimits);
    if (! parsed.parsed())
        return false; // a cache: missing or not ours, it is rebuilt
    const auto& root = parsed.root;

    // The framework's reader overflows on "-9223372036854775808".
    if (parseLargeWholeNumber (root->getStringAttribute ("lm_date", "1")) != lastWriteTime
        || ! root->hasAttribute ("size") || parseLargeWholeNumber (root->getStringAttribute ("size")) != size)
        return false;

    std::vector<float> peakValues, averageValues;
    const auto* first = root->getFirstChildElement();
    if (! readValues (first, peakValues) || ! readValues (first->getNextElement(), averageValues))
        return false;

    std::copy (peakValues.begin(), peakValues.end(), peaks);
    std::copy (averageValues.begin(), averageValues.end(), averages);
    return true;
}

bool write (const juce::File& peakFile, juce::int64 lastWriteTime, juce::int64 size,
            const float* peaks, const float* averages, const std::function<bool()>& shouldAbandon)
{
    juce::XmlElement root ("PeakFile");
    root.setAttribute ("lm_date", juce::String (lastWriteTime));
    root.setAttribute ("size", juce::String (size));
    root.addChildElement (makeWave ("PeakWave", peaks).release());
    root.addChildElement (makeWave ("AverageWave", averages).release());

    if (! peakFile.getParentDirectory().createDirectory())
        return false;

    juce::TemporaryFile temp (peakFile);
    {
        juce::FileOutputStream out (temp.getFile(), 32768);
        if (! out.openedOk())
            return false;
        root.writeTo (out);
        out.flush();
        if (! out.getStatus().wasOk())
            return false;
    }

    if (shouldAbandon != nullptr && shouldAbandon())
        return false; // the temporary file deletes itself

    return temp.overwriteTargetFileWithTemporary();
}
}
