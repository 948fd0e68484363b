#include "library/database/ID3DataBaseEntry.h"

#include "common/FileFacts.h"
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
struct AttributeNames
{
    const juce::Identifier filename { "filename" }, artist { "artist" }, album { "album" }, song { "song" },
        bpm { "bpm" }, label { "label" }, genre { "genre" }, year { "year" }, filesize { "filesize" },
        lm_date { "lm_date" }, quality { "quality" }, seconds { "seconds" }, samplerate { "samplerate" },
        couldNotWriteMetadata { "couldNotWriteMetadata" };
    const juce::Identifier cuePoints[ID3DataBaseEntry::numCuePoints] { "cuePoint0", "cuePoint1", "cuePoint2",
                                                                        "cuePoint3", "cuePoint4", "cuePoint5" };
};

const AttributeNames& names()
{
    static const AttributeNames instance;
    return instance;
}

/** "%.9g" of the value widened to double, whatever the locale. */
juce::String formatCuePoint (float value)
{
    char text[32];
    const auto result = std::to_chars (text, text + sizeof (text), (double) value, std::chars_format::general, 9);
    return juce::String (text, (size_t) (result.ptr - text));
}

/** A stored cue point, held to what the program can set: -1..1, unset when it is no number. */
float parseCuePoint (const juce::XmlElement& element, const juce::Identifier& name)
{
    const double value = element.getDoubleAttribute (name.toString(), -1.0);
    return std::isfinite (value) ? (float) std::clamp (value, -1.0, 1.0) : -1.0f;
}

juce::int64 parseLargeInt (const juce::XmlElement& element, const juce::Identifier& name)
{
    return element.getStringAttribute (name.toString()).getLargeIntValue();
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

std::unique_ptr<juce::XmlElement> ID3DataBaseEntry::createXml (const juce::String& tagName) const
{
    const auto& n = names();
    auto element = std::make_unique<juce::XmlElement> (tagName);
    // Whatever text got into the record, the file must stay readable.
    element->setAttribute (n.filename, makeValidText (filename));
    element->setAttribute (n.artist, makeValidText (artist));
    element->setAttribute (n.album, makeValidText (album));
    element->setAttribute (n.song, makeValidText (song));
    element->setAttribute (n.bpm, makeValidText (bpm));
    element->setAttribute (n.label, makeValidText (label));
    element->setAttribute (n.genre, makeValidText (genre));
    element->setAttribute (n.year, makeValidText (year));
    element->setAttribute (n.filesize, juce::String (filesize));
    element->setAttribute (n.lm_date, juce::String (lm_date));
    element->setAttribute (n.quality, makeValidText (quality));
    element->setAttribute (n.seconds, juce::String (seconds));
    element->setAttribute (n.samplerate, juce::String (samplerate));
    element->setAttribute (n.couldNotWriteMetadata, couldNotWriteMetadata ? "1" : "0");
    for (int i = 0; i < numCuePoints; ++i)
        element->setAttribute (n.cuePoints[i], formatCuePoint (cuePoint[i]));
    return element;
}

void ID3DataBaseEntry::loadFromXml (const juce::XmlElement* element)
{
    if (element == nullptr)
        return;

    const auto& n = names();
    auto text = [element] (const juce::Identifier& name) { return element->getStringAttribute (name.toString()); };
    filename = text (n.filename);
    artist = text (n.artist);
    album = text (n.album);
    song = text (n.song);
    bpm = text (n.bpm);
    label = text (n.label);
    genre = text (n.genre);
    year = text (n.year);
    filesize = parseLargeInt (*element, n.filesize);
    lm_date = parseLargeInt (*element, n.lm_date);
    quality = text (n.quality);
    seconds = element->getIntAttribute (n.seconds.toString());
    samplerate = element->getIntAttribute (n.samplerate.toString());
    couldNotWriteMetadata = element->getBoolAttribute (n.couldNotWriteMetadata.toString());
    for (int i = 0; i < numCuePoints; ++i)
        cuePoint[i] = parseCuePoint (*element, n.cuePoints[i]);
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
    return bpm.getDoubleValue();
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
