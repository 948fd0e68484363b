// The one XML reading function: no crash, no hang, and a file the program writes
// always reads back, whether its strings came from a file that was read or from
// a damaged tag (UTF-16 with lone surrogates).
#include "FuzzInputFile.h"
#include "common/SafeXmlReader.h"

#include <vector>

namespace
{
const zund::XmlLimits limits { 1 << 20, 16 };

/** The writer puts a carriage return in text raw; parsers read it as a line feed. */
juce::String normalised (const juce::String& written)
{
    return written.replace ("\r\n", "\n").replace ("\r", "\n");
}

void expectReadBack (const juce::XmlElement& root)
{
    const auto written = root.toString();
    const auto reread = zund::parseXmlSafely (written.toRawUTF8(), written.getNumBytesAsUTF8(), { 1 << 26, limits.maxDepth });
    zund::fuzz::check (reread.parsed(), "what the writer made is read back");
    zund::fuzz::check (normalised (reread.root->toString()) == normalised (written), "and reads back the same");
}
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace zund;
    const auto result = parseXmlSafely (data, size, limits);
    fuzz::check (result.parsed() == result.error.isEmpty(), "a result is either a root or an error");
    if (result.parsed())
        expectReadBack (*result.root);

    // The bytes as UTF-16 text from a tag, in an attribute (text nodes of white
    // space alone are dropped by the parser, as they should be).
    std::vector<juce::CharPointer_UTF16::CharType> units (size / 2 + 1, 0);
    for (size_t i = 0; i + 1 < size; i += 2)
        units[i / 2] = (juce::CharPointer_UTF16::CharType) (data[i] | (data[i + 1] << 8));
    const juce::String value { juce::CharPointer_UTF16 (units.data()) };
    juce::XmlElement root ("Zund2DataBase");
    root.createNewChildElement ("SONG")->setAttribute ("FILENAME", value);
    const auto written = root.toString();
    const auto reread = parseXmlSafely (written.toRawUTF8(), written.getNumBytesAsUTF8(), limits);
    fuzz::check (reread.parsed(), "a string the writer wrote is read back");
    fuzz::check (reread.root->getChildElement (0)->getStringAttribute ("FILENAME") == value, "unchanged");
    return 0;
}
