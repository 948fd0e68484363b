// The one XML reading function: no crash, no hang, and a file the program writes
// always reads back, whatever its strings hold (lone surrogates from a damaged
// tag, anything up to 0x3fffff that the framework's UTF-8 decoder can yield),
// whether the framework's writer made it or a writer that puts out the strings'
// own bytes (the song database's).
#include "FuzzInputFile.h"
#include "common/xml/SafeXmlReader.h"
#include "support/RawXmlAttribute.h"

#include <vector>

namespace
{
const zund::XmlLimits limits { 1 << 20, 16 };

/** The writer puts a carriage return in text raw; parsers read it as a line feed. */
juce::String normalised (const juce::String& written)
{
    return written.replace ("\r\n", "\n").replace ("\r", "\n");
}

zund::XmlReadResult parse (const std::string& text)
{
    return zund::parseXmlSafely (text.data(), text.size(), { 1 << 26, limits.maxDepth });
}

void expectReadBack (const juce::XmlElement& root)
{
    const auto written = root.toString().toStdString();
    const auto reread = parse (written);
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

    // The bytes as code points, three to one.
    std::vector<juce::juce_wchar> codePoints;
    for (size_t i = 0; i + 2 < size; i += 3)
        if (const auto c = (juce::juce_wchar) ((data[i] | (data[i + 1] << 8) | (data[i + 2] << 16)) & 0x3fffff))
            codePoints.push_back (c);
    codePoints.push_back (0);
    const juce::String value { juce::CharPointer_UTF32 (codePoints.data()) };

    juce::XmlElement root ("Zund2DataBase");
    root.createNewChildElement ("SONG")->setAttribute ("FILENAME", value);
    expectReadBack (root);

    const auto raw = parse ("<Zund2DataBase><Entry0 FILENAME=\"" + test::rawXmlAttribute (value) + "\"/></Zund2DataBase>");
    fuzz::check (raw.parsed(), "a string written as its own bytes is read back");
    fuzz::check (raw.root->getChildElement (0)->getStringAttribute ("FILENAME") == value, "unchanged");
    return 0;
}
