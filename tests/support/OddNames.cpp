#include "support/OddNames.h"

#include <sys/stat.h>

#include <cstdio>

namespace zund::test
{
const std::vector<OddName>& oddSongNames()
{
    static const std::vector<OddName> names {
        { "a lone 0x80 (Windows-1252 euro sign)", "5\x80 name.mp3", false },
        { "Latin-1 a-grave before a letter", "voil\xe0.mp3", false },
        { "an overlong pair (Latin-1 A-acute, inverted exclamation)", "\xc1\xa1.mp3", false },
        { "a lead byte at the end", "song.mp3\xe9", false },
        { "Latin-1 e-acute", "caf\xe9.mp3", true },
        { "UTF-8", "caf\xc3\xa9 \xe2\x82\xac.mp3", true },
    };
    return names;
}

std::string withEnding (const OddName& name, const std::string& ending)
{
    auto bytes = name.bytes;
    const auto at = bytes.find (".mp3");
    return at == std::string::npos ? bytes : bytes.replace (at, 4, ending);
}

std::string pathIn (const juce::File& folder, const std::string& nameBytes)
{
    return folder.getFullPathName().toStdString() + "/" + nameBytes;
}

bool renameTo (const juce::File& file, const juce::File& folder, const std::string& nameBytes)
{
    return std::rename (file.getFullPathName().toRawUTF8(), pathIn (folder, nameBytes).c_str()) == 0;
}

bool makeFolderNamed (const juce::File& parent, const std::string& nameBytes)
{
    return ::mkdir (pathIn (parent, nameBytes).c_str(), 0755) == 0;
}
}
