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
    JUCE_LEAK_DETECTOR (ID3DataBaseEntry)
};
}
