#include "library/browser/SongSearch.h"

#include "library/database/ID3DataBase.h"

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
    // One pass for the usual ASCII text; the rest is folded code point by code point.
    const auto start = haystack.size();
    for (size_t i = 0; i < numBytes; ++i)
    {
        const auto c = (unsigned char) utf8[i];
        if (c >= 0x80)
        {
            haystack.resize (start);
            haystack.append (foldCase (juce::String::fromUTF8 (utf8, (int) numBytes)).toRawUTF8());
            return;
        }
        haystack.push_back ((char) (c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c));
    }
}

void SongSearch::appendLowerCase (const juce::String& text)
{
    const auto* utf8 = text.getCharPointer().getAddress();
    appendLowerCase (utf8, std::strlen (utf8));
}

bool SongSearch::matches (const ID3DataBaseEntry& record)
{
    haystack.clear();

    // The folder is the path up to its last separator ("/" for a file at the root).
    const auto* path = record.filename.getCharPointer().getAddress();
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

bool SongSearch::scan (const ID3DataBase& database, int first, int count,
                       const std::function<void (const ID3DataBaseEntry&)>& found)
{
    // The records' texts lie all over the heap: fetching them a few records
    // ahead keeps the search from waiting on memory at every record.
    constexpr int recordsAhead = 8, textsAhead = 4;
    for (int i = first; i < first + count; ++i)
    {
        const auto* record = database.getEntry (i);
        if (record == nullptr)
            return false;

        if (hasWords())
        {
            if (const auto* far = database.getEntry (i + recordsAhead))
                __builtin_prefetch (far);
            if (const auto* near = database.getEntry (i + textsAhead))
                for (const auto* text : { &near->filename, &near->song, &near->album, &near->artist, &near->bpm,
                                          &near->genre, &near->label })
                    __builtin_prefetch (text->getCharPointer().getAddress());
        }

        if (! hasWords() || matches (*record))
            found (*record);
    }
    return true;
}
}
