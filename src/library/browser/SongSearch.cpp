#include "library/browser/SongSearch.h"

#include "library/database/ID3DataBaseEntry.h"

#include <cstring>

namespace zund
{
namespace
{
const char* const fieldNames[SongSearch::numFields] = { "path", "filename", "song", "album",
                                                        "artist", "bpm", "genre", "label" };

// Lower case that does not depend on the C locale (the program runs in "C",
// where the C library lowers ASCII only): Latin-1, Latin Extended-A, Greek
// and Cyrillic capitals as well.
juce::juce_wchar foldCase (juce::juce_wchar c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    if ((c >= 0xc0 && c <= 0xde && c != 0xd7) || (c >= 0x391 && c <= 0x3a9 && c != 0x3a2) || (c >= 0x410 && c <= 0x42f))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40f)
        return c + 0x50;
    const bool evenCapital = (c >= 0x100 && c <= 0x137) || (c >= 0x14a && c <= 0x177);
    const bool oddCapital = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17e);
    if ((evenCapital && c % 2 == 0) || (oddCapital && c % 2 == 1))
        return c + 1;
    if (c == 0x178)
        return 0xff;
    return juce::CharacterFunctions::toLowerCase (c);
}

juce::String foldCase (const juce::String& text)
{
    juce::String folded;
    folded.preallocateBytes (text.getNumBytesAsUTF8());
    for (auto p = text.getCharPointer(); ! p.isEmpty();)
        folded << juce::String::charToString (foldCase (p.getAndAdvance()));
    return folded;
}

bool isAscii (const char* utf8, size_t numBytes)
{
    for (size_t i = 0; i < numBytes; ++i)
        if ((unsigned char) utf8[i] >= 0x80)
            return false;
    return true;
}
}

juce::StringArray SongSearch::splitWords (const juce::String& text)
{
    juce::StringArray tokens;
    tokens.addTokens (text, true);

    // The tokenizer keeps the quotes around a quoted stretch; the words are
    // looked for without them.
    juce::StringArray result;
    for (const auto& token : tokens)
        if (const auto word = token.unquoted(); word.isNotEmpty())
            result.add (word);
    return result;
}

int SongSearch::fieldOfName (const juce::String& name)
{
    for (int i = 0; i < numFields; ++i)
        if (name.equalsIgnoreCase (fieldNames[i]))
            return i;
    return -1;
}

void SongSearch::setWords (const juce::StringArray& newWords)
{
    words = newWords;
    lowerCaseWords.clear();
    for (const auto& word : words)
        lowerCaseWords.emplace_back (foldCase (word).toStdString());
}

void SongSearch::setFieldEnabled (int field, bool on)
{
    if (juce::isPositiveAndBelow (field, (int) numFields))
        enabled[field] = on;
}

bool SongSearch::isFieldEnabled (int field) const
{
    return juce::isPositiveAndBelow (field, (int) numFields) && enabled[field];
}

void SongSearch::appendLowerCase (const char* utf8, size_t numBytes)
{
    if (! isAscii (utf8, numBytes))
    {
        haystack.append (foldCase (juce::String::fromUTF8 (utf8, (int) numBytes)).toRawUTF8());
        return;
    }

    const auto start = haystack.size();
    haystack.append (utf8, numBytes);
    for (auto i = start; i < haystack.size(); ++i)
        if (haystack[i] >= 'A' && haystack[i] <= 'Z')
            haystack[i] = (char) (haystack[i] + ('a' - 'A'));
}

void SongSearch::appendLowerCase (const juce::String& text)
{
    const auto* utf8 = text.toRawUTF8();
    appendLowerCase (utf8, std::strlen (utf8));
}

bool SongSearch::matches (const ID3DataBaseEntry& record)
{
    haystack.clear();

    // The folder is the path up to its last separator ("/" for a file at the root).
    const auto* path = record.filename.toRawUTF8();
    const auto pathLength = std::strlen (path);
    const auto* lastSeparator = std::strrchr (path, '/');
    const auto folderLength = lastSeparator == nullptr ? 0 : (size_t) (lastSeparator - path);
    const auto nameStart = lastSeparator == nullptr ? 0 : folderLength + 1;

    if (enabled[folderPath])
    {
        if (lastSeparator == path)
            haystack += '/';
        else
            appendLowerCase (path, folderLength);
    }
    if (enabled[fileName])
        appendLowerCase (path + nameStart, pathLength - nameStart);

    const juce::String* const texts[] = { &record.song, &record.album, &record.artist,
                                          &record.bpm,  &record.genre, &record.label };
    for (int i = 0; i < 6; ++i)
        if (enabled[song + i])
            appendLowerCase (*texts[i]);

    for (const auto& word : lowerCaseWords)
        if (haystack.find (word) == std::string::npos)
            return false;
    return true;
}
}
