#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <string>
#include <vector>

namespace zund
{
class ID3DataBase;
class ID3DataBaseEntry;

/** The browser's search: words typed into the search field, and which record
    fields they are looked for in. A record matches when every word occurs,
    ignoring case, in its enabled fields joined without separator in this order:
    folder path, file name, song, album, artist, bpm, genre, label.

    One object per thread: matching reuses a buffer. */
class SongSearch
{
public:
    enum Field
    {
        folderPath,
        fileName,
        song,
        album,
        artist,
        bpm,
        genre,
        label,
        numFields
    };

    /** The words of a search text: split at white space, a double-quoted
        stretch staying one word (without its quotes); empty words dropped. */
    static juce::StringArray splitWords (const juce::String& text);

    /** The field with that name ("path", "filename", "artist", "album", "song",
        "bpm", "genre", "label", any case); -1 for another name. */
    static int fieldOfName (const juce::String& name);

    void setWords (const juce::StringArray& words);
    const juce::StringArray& getWords() const noexcept { return words; }
    bool hasWords() const noexcept { return ! words.isEmpty(); }

    void setFieldEnabled (int field, bool enabled);
    bool isFieldEnabled (int field) const;

    /** Every word occurs in the record's enabled fields. Call with the record
        under the database lock. */
    bool matches (const ID3DataBaseEntry& record);

    /** Hands every matching record of the index range [first, first + count)
        to `found` (every record without words); call it under the database
        lock. Returns false once the end of the database was reached. */
    bool scan (const ID3DataBase& database, int first, int count,
               const std::function<void (const ID3DataBaseEntry&)>& found);

private:
    void appendLowerCase (const juce::String& text);
    void appendLowerCase (const char* utf8, size_t numBytes);

    juce::StringArray words;
    std::vector<std::string> lowerCaseWords;
    bool enabled[numFields] = { true, true, true, true, true, true, true, true };
    std::string haystack;
};
}
