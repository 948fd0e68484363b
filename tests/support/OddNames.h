#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

namespace zund::test
{
/** A song file name made of raw bytes, and whether the program can hold it in
    a string (and so list and keep it). */
struct OddName
{
    const char* what;
    std::string bytes;
    bool safe;
};

/** Names a music folder copied from older systems holds: those the framework's
    strings overflow on (a lone 0x80, Windows-1252 "€"; Latin-1 "à" before a
    letter; an overlong pair; a lead byte at the end), a Latin-1 one they
    handle and a UTF-8 one. All but the one ending in a lead byte end in ".mp3". */
const std::vector<OddName>& oddSongNames();

/** The name with its ".mp3" turned into another ASCII ending (".kcs", " Mix"),
    which keeps whether it can be held. */
std::string withEnding (const OddName& name, const std::string& ending);

/** The bytes of a path inside a folder. */
std::string pathIn (const juce::File& folder, const std::string& nameBytes);

/** Moves a file to a name given as raw bytes in a folder; false on failure. */
bool renameTo (const juce::File& file, const juce::File& folder, const std::string& nameBytes);

/** Makes a folder named with raw bytes inside another; false on failure. */
bool makeFolderNamed (const juce::File& parent, const std::string& nameBytes);
}
