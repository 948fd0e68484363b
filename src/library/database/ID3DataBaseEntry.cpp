#include "library/database/ID3DataBaseEntry.h"

#include "common/FileFacts.h"
#include "common/NumberText.h"
#include "library/tags/Id3Tags.h"
#include "library/tags/TagText.h"
#include "library/tags/VorbisCommentFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

namespace zund
{
namespace
{
enum StoredAttribute
{
    filenameAttribute, artistAttribute, albumAttribute, songAttribute, bpmAttribute, labelAttribute,
    genreAttribute, yearAttribute, filesizeAttribute, lmDateAttribute, qualityAttribute, secondsAttribute,
    samplerateAttribute, couldNotWriteMetadataAttribute, firstCuePointAttribute
};
static_assert (firstCuePointAttribute + ID3DataBaseEntry::numCuePoints == ID3DataBaseEntry::numStoredAttributes);

/** "%.9g" of the value widened to double, whatever the locale. */
juce::String formatCuePoint (float value)
{
    char text[32];
    const auto result = std::to_chars (text, text + sizeof (text), (double) value, std::chars_format::general, 9);
    return juce::String (text, (size_t) (result.ptr - text));
}

/** A stored cue point, held to what the program can set: -1..1, unset when it is no number. */
float parseCuePoint (const juce::String& text)
{
    if (text == "-1")
        return -1.0f; // most cue points are unset: no number to parse
    const double value = parseRealNumber (text);
    return std::isfinite (value) ? (float) std::clamp (value, -1.0, 1.0) : -1.0f;
}

/** Which stored attribute a name is, trying the expected one first; -1 for none.
    Attribute names are pooled, so equal names share their text. */
int findStoredAttribute (const juce::String& name, int expected)
{
    const auto* names = ID3DataBaseEntry::getStoredAttributeNames();
    const auto* text = name.getCharPointer().getAddress();
    if (expected < ID3DataBaseEntry::numStoredAttributes && names[expected].getCharPointer().getAddress() == text)
        return expected;
    for (int i = 0; i < ID3DataBaseEntry::numStoredAttributes; ++i)
        if (names[i].getCharPointer().getAddress() == text || names[i].toString() == name)
            return i;
    return -1;
}

/** The record's file; none for a path that is not absolute (it would be taken
    relative to wherever the program runs). */
juce::File getRecordFile (const juce::String& path)
{
    return juce::File::isAbsolutePath (path) ? juce::File (path) : juce::File();
}
}

ID3DataBaseEntry::ID3DataBaseEntry()
{
    std::fill (std::begin (cuePoint), std::end (cuePoint), -1.0f);
}

const juce::Identifier* ID3DataBaseEntry::getStoredAttributeNames()
{
    static const juce::Identifier names[numStoredAttributes] {
        "filename", "artist", "album", "song", "bpm", "label", "genre", "year", "filesize", "lm_date", "quality",
        "seconds", "samplerate", "couldNotWriteMetadata", "cuePoint0", "cuePoint1", "cuePoint2", "cuePoint3",
        "cuePoint4", "cuePoint5"
    };
    return names;
}

void ID3DataBaseEntry::getStoredAttributeValues (juce::String (&values)[numStoredAttributes]) const
{
    // Whatever text got into the record, the file must stay readable.
    values[filenameAttribute] = makeValidText (filename);
    values[artistAttribute] = makeValidText (artist);
    values[albumAttribute] = makeValidText (album);
    values[songAttribute] = makeValidText (song);
    values[bpmAttribute] = makeValidText (bpm);
    values[labelAttribute] = makeValidText (label);
    values[genreAttribute] = makeValidText (genre);
    values[yearAttribute] = makeValidText (year);
    values[filesizeAttribute] = juce::String (filesize);
    values[lmDateAttribute] = juce::String (lm_date);
    values[qualityAttribute] = makeValidText (quality);
    values[secondsAttribute] = juce::String (seconds);
    values[samplerateAttribute] = juce::String (samplerate);
    values[couldNotWriteMetadataAttribute] = couldNotWriteMetadata ? "1" : "0";
    for (int i = 0; i < numCuePoints; ++i)
        values[firstCuePointAttribute + i] = formatCuePoint (cuePoint[i]);
}

std::unique_ptr<juce::XmlElement> ID3DataBaseEntry::createXml (const juce::String& tagName) const
{
    juce::String values[numStoredAttributes];
    getStoredAttributeValues (values);
    const auto* names = getStoredAttributeNames();
    auto element = std::make_unique<juce::XmlElement> (tagName);
    for (int i = 0; i < numStoredAttributes; ++i)
        element->setAttribute (names[i], values[i]);
    return element;
}

void ID3DataBaseEntry::loadFromXml (const juce::XmlElement* element)
{
    if (element == nullptr)
        return;

    filename = artist = album = song = bpm = label = genre = year = quality = {};
    filesize = lm_date = 0;
    seconds = samplerate = 0;
    couldNotWriteMetadata = false;
    std::fill (std::begin (cuePoint), std::end (cuePoint), -1.0f);

    // One walk over the attributes (a file of ours has them in the expected order)
    // instead of a search by name for each.
    const int count = element->getNumAttributes();
    for (int i = 0; i < count; ++i)
    {
        const auto& value = element->getAttributeValue (i);
        const int attribute = findStoredAttribute (element->getAttributeName (i), i);
        switch (attribute)
        {
            case filenameAttribute:   filename = value; break;
            case artistAttribute:     artist = value; break;
            case albumAttribute:      album = value; break;
            case songAttribute:       song = value; break;
            case bpmAttribute:        bpm = value; break;
            case labelAttribute:      label = value; break;
            case genreAttribute:      genre = value; break;
            case yearAttribute:       year = value; break;
            case filesizeAttribute:   filesize = parseLargeWholeNumber (value); break;
            case lmDateAttribute:     lm_date = parseLargeWholeNumber (value); break;
            case qualityAttribute:    quality = value; break;
            case secondsAttribute:    seconds = parseWholeNumber (value); break;
            case samplerateAttribute: samplerate = parseWholeNumber (value); break;
            case couldNotWriteMetadataAttribute:
                couldNotWriteMetadata = element->getBoolAttribute (getStoredAttributeNames()[couldNotWriteMetadataAttribute]);
                break;
            case -1: break; // unknown attributes are ignored
            default: cuePoint[attribute - firstCuePointAttribute] = parseCuePoint (value); break;
        }
    }
}

bool ID3DataBaseEntry::hasFileChanged() const
{
    juce::int64 time = 0, size = 0;
    if (! getFileTimeAndSize (getRecordFile (filename), time, size))
        return true;
    return time != lm_date || size != filesize;
}

double ID3DataBaseEntry::getBpmValue() const
{
    return parseRealNumber (bpm);
}

bool ID3DataBaseEntry::writeTagsToFile()
{
    const auto file = getRecordFile (filename);
    const auto extension = juce::File::createFileWithoutCheckingPath (filename).getFileExtension().toLowerCase();
    bool success = true;

    if (extension == ".mp3")
    {
        const Id3TextEdit edits[] = {
            { id3Artist, artist.toRawUTF8() }, { id3Title, song.toRawUTF8() }, { id3Album, album.toRawUTF8() },
            { id3Genre, genre.toRawUTF8() }, { id3Year, year.toRawUTF8() }, { id3Bpm, bpm.toRawUTF8() },
            { id3Label, label.toRawUTF8() }
        };
        // One rewrite of the file for all seven texts: they land together or not at all.
        success = canOpenFileExclusively (file)
               && writeId3Tags (file.getFullPathName().toRawUTF8(), edits, (int) std::size (edits));
    }
    else if (extension == ".ogg")
    {
        success = canOpenFileExclusively (file);
        if (success)
        {
            VorbisCommentFile comments (file);
            comments.setValue ("ALBUM", album);
            comments.setValue ("ARTIST", artist);
            comments.setValue ("BPM", bpm);
            comments.setValue ("GENRE", genre);
            comments.setValue ("ORGANIZATION", label);
            comments.setValue ("TITLE", song);
            comments.setValue ("DATE", year);
            success = comments.save();
        }
    }
    else if (extension == ".flac")
    {
        success = false;
    }

    couldNotWriteMetadata = ! success;
    if (success)
        getFileTimeAndSize (file, lm_date, filesize);
    return success;
}
}
