#include "library/browser/SongSearch.h"

#include "library/database/ID3DataBaseEntry.h"

#include <cstring>

namespace zund
{
namespace
{
const char* const fieldNames[SongSearch::numFields] = { "path", "filename", "song", "album",
                                                        "artist", "bpm", "genre", "label" };

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
        lowerCaseWords.emplace_back (word.toLowerCase().toStdString());
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
        appendLowerCase (juce::String::fromUTF8 (utf8, (int) numBytes));
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
    const auto numBytes = std::strlen (utf8);
    if (isAscii (utf8, numBytes))
        appendLowerCase (utf8, numBytes);
    else
        haystack.append (text.toLowerCase().toRawUTF8());
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
