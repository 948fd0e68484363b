#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace zund
{
/** One song record: the file's full path (its key), its tag texts, audio facts,
    file facts, six cue points and state flags. Records live in ID3DataBase; their
    fields are read and changed under the database lock. */
class ID3DataBaseEntry
{
public:
    static constexpr int numCuePoints = 6;

    ID3DataBaseEntry();

    /** The stored attributes, in the order they are written: "filename", "artist",
        "album", "song", "bpm", "label", "genre", "year", "filesize", "lm_date",
        "quality", "seconds", "samplerate", "couldNotWriteMetadata", "cuePoint0".."5". */
    static constexpr int numStoredAttributes = 14 + numCuePoints;
    static const juce::Identifier* getStoredAttributeNames();

    /** The record's value of each stored attribute, as it is written. */
    void getStoredAttributeValues (juce::String (&values)[numStoredAttributes]) const;

    /** Written after the stored attributes only for a path whose bytes are not
        well-formed UTF-8 (a Latin-1 file name): the path byte for byte, escaped
        (escapeMalformedBytes), while "filename" holds its readable form. Older
        files never have it. */
    static const juce::Identifier& getEscapedFilenameName();
    juce::String getEscapedFilename() const;

    /** True for a record read with a path whose bytes cannot be held in a string
        (isSafeStringBytes): it keeps the escaped path for the file, "filename"
        holds the readable form, and it is never indexed nor its file opened. */
    bool isPathKeptAside() const noexcept { return keptEscapedFilename.isNotEmpty(); }

    /** Which stored attribute a name is: 0..numStoredAttributes-1, escapedFilename
        for the escaped path, -1 for none (ignored). `expected` is tried first. */
    static constexpr int escapedFilename = numStoredAttributes;
    static int findStoredAttribute (const char* name, size_t length, int expected) noexcept;

    /** Reading a record from its attributes: startLoading, then each attribute
        (in file order; a later one wins), then finishLoading. The value is UTF-8
        text as the file holds it after its escapes are undone. */
    void startLoading();
    void loadAttribute (int attribute, const char* value, size_t length);
    void finishLoading();

    /** Writes the stored attributes as XML attributes (` name="value"` each, in
        their order, the escaped path last when there is one), escaped for XML;
        text that is not well-formed UTF-8 is repaired as makeValidText does. */
    void writeStoredAttributes (juce::OutputStream& out) const;

    /** A new element with the record's stored attributes. */
    std::unique_ptr<juce::XmlElement> createXml (const juce::String& tagName) const;

    /** Reads the stored attributes back (absent ones take their defaults); a null
        element changes nothing. */
    void loadFromXml (const juce::XmlElement* element);

    void setValid() noexcept { valid = true; }

    /** True when the file's last-write time or size differs from the record's, or
        when they cannot be read. */
    bool hasFileChanged() const;

    /** The bpm text as a number; 0 when it is empty or not a number. */
    double getBpmValue() const;

    /** Writes the tag texts into the file: ID3 for ".mp3", Vorbis comments for
        ".ogg"; ".flac" fails; other files are left alone and count as written.
        Sets couldNotWriteMetadata to the failure, and after a write takes the
        file's new last-write time and size. */
    bool writeTagsToFile();

    bool getCouldNotWriteMetadata() const noexcept { return couldNotWriteMetadata; }
    void clearCouldNotWriteMetadata() noexcept { couldNotWriteMetadata = false; }

    juce::String filename;
    juce::String artist;
    juce::String album;
    juce::String song;
    juce::String bpm;
    juce::String label;
    juce::String year;
    juce::String genre;
    juce::String quality;
    int samplerate = 0;
    int seconds = 0;
    juce::int64 lm_date = 0;
    juce::int64 filesize = 0;
    float cuePoint[numCuePoints];
    bool addedToCase = false;
    bool loadedInDeck = false;
    bool missing = false;
    bool valid = false;
    bool couldNotWriteMetadata = false;

private:
    juce::String escapedPathBeingLoaded;
    juce::String keptEscapedFilename;

    JUCE_LEAK_DETECTOR (ID3DataBaseEntry)
};
}
