// The one XML reading function: no crash, no hang, and a file the program writes
// always reads back, whether its strings came from a file that was read or from
// anywhere else (a file name that is not UTF-8, a damaged tag).
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

    // The bytes as a string the way a directory listing makes one.
    std::vector<char> text (data, data + size);
    text.push_back (0);
    const juce::String value { juce::CharPointer_UTF8 (text.data()) };
    juce::XmlElement root ("Zund2DataBase");
    auto* song = root.createNewChildElement ("SONG");
    song->setAttribute ("FILENAME", value);
    song->addTextElement (value);
    expectReadBack (root);
    return 0;
}
