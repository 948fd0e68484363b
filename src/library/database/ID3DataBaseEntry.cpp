#include "library/database/ID3DataBaseEntry.h"

#include "common/files/AudioFileTypes.h"
#include "common/files/FileFacts.h"
#include "common/text/NumberText.h"
#include "common/text/SafeStringBytes.h"
#include "library/tags/Id3Tags.h"
#include "library/tags/TagText.h"
#include "library/tags/VorbisCommentFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
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

/** "%.9g" of the value widened to double, whatever the locale; returns the length. */
size_t formatCuePoint (float value, char (&text)[32])
{
    return (size_t) (std::to_chars (text, text + sizeof (text), (double) value, std::chars_format::general, 9).ptr - text);
}

juce::String formatCuePoint (float value)
{
    char text[32];
    return juce::String (text, formatCuePoint (value, text));
}

/** Attribute text as XML wants it: markup characters and control characters as
    references, everything else as its UTF-8 bytes. */
void writeEscaped (juce::OutputStream& out, const char* text, size_t length)
{
    const char* run = text;
    const char* const end = text + length;
    for (const char* c = text; c < end; ++c)
    {
        const auto byte = (unsigned char) *c;
        const char* reference = nullptr;
        switch (byte)
        {
            case '&':  reference = "&amp;"; break;
            case '<':  reference = "&lt;"; break;
            case '>':  reference = "&gt;"; break;
            case '"':  reference = "&quot;"; break;
            case '\'': reference = "&apos;"; break;
            default:
                if (byte >= 0x20)
                    continue;
                break;
        }
        out.write (run, (size_t) (c - run));
        if (reference != nullptr)
            out.write (reference, std::strlen (reference));
        else
            out << "&#" << (int) byte << ";";
        run = c + 1;
    }
    out.write (run, (size_t) (end - run));
}

void writeAttribute (juce::OutputStream& out, const juce::Identifier& name, const char* value, size_t length)
{
    const auto* nameText = name.getCharPointer().getAddress();
    out.writeByte (' ');
    out.write (nameText, std::strlen (nameText));
    out.write ("=\"", 2);
    writeEscaped (out, value, length);
    out.writeByte ('"');
}

void writeTextAttribute (juce::OutputStream& out, const juce::Identifier& name, const juce::String& text)
{
    const auto* bytes = text.toRawUTF8();
    const auto length = std::strlen (bytes);
    if (isWellFormedUtf8 (bytes, length))
        writeAttribute (out, name, bytes, length);
    else
        writeTextAttribute (out, name, makeValidText (text)); // whatever got into the record, the file must stay readable
}

template <typename Number>
void writeNumberAttribute (juce::OutputStream& out, const juce::Identifier& name, Number value)
{
    char text[32];
    writeAttribute (out, name, text, (size_t) (std::to_chars (text, text + sizeof (text), value).ptr - text));
}

/** A whole decimal number as our writer puts it (an optional '-' and up to
    `maxDigits` digits); false for anything else. */
template <typename Integer>
bool parsePlainInteger (const char* text, size_t length, int maxDigits, Integer& value) noexcept
{
    const bool negative = length > 0 && text[0] == '-';
    const size_t first = negative ? 1 : 0;
    if (length <= first || length - first > (size_t) maxDigits)
        return false;
    Integer result = 0;
    for (size_t i = first; i < length; ++i)
    {
        if (text[i] < '0' || text[i] > '9')
            return false;
        result = result * 10 + (text[i] - '0');
    }
    value = negative ? -result : result;
    return true;
}

juce::String textOf (const char* value, size_t length)
{
    // Byte for byte: the framework's decoding constructor would change bytes that
    // are not UTF-8 (a file name from a character reference of a surrogate).
    return length == 0 ? juce::String() : juce::String (juce::CharPointer_UTF8 (value), juce::CharPointer_UTF8 (value + length));
}

juce::int64 largeIntegerOf (const char* value, size_t length)
{
    juce::int64 result = 0;
    return parsePlainInteger (value, length, 18, result) ? result : parseLargeWholeNumber (textOf (value, length));
}

int integerOf (const char* value, size_t length)
{
    int result = 0;
    return parsePlainInteger (value, length, 9, result) ? result : parseWholeNumber (textOf (value, length));
}

/** The framework's boolean attribute rule. */
bool booleanOf (const char* value, size_t length)
{
    const auto text = textOf (value, length).trimStart();
    return parseWholeNumber (text) != 0 || text[0] == 't' || text[0] == 'T' || text[0] == 'y' || text[0] == 'Y';
}

/** A stored cue point, held to what the program can set: -1..1; unset when it
    is not a finite number, 0 for text without a number. */
float parseCuePoint (const char* text, size_t length)
{
    if (length == 2 && text[0] == '-' && text[1] == '1')
        return -1.0f; // most cue points are unset: no number to parse
    const double value = parseRealNumber (textOf (text, length));
    return std::isfinite (value) ? (float) std::clamp (value, -1.0, 1.0) : -1.0f;
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

const juce::Identifier& ID3DataBaseEntry::getEscapedFilenameName()
{
    static const juce::Identifier name ("filenameBytes");
    return name;
}

juce::String ID3DataBaseEntry::getEscapedFilename() const
{
    if (keptEscapedFilename.isNotEmpty())
        return keptEscapedFilename;
    return isWellFormedText (filename) ? juce::String() : escapeMalformedBytes (filename);
}

int ID3DataBaseEntry::findStoredAttribute (const char* name, size_t length, int expected) noexcept
{
    const auto* names = getStoredAttributeNames();
    auto is = [name, length] (const juce::Identifier& candidate) {
        const auto* text = candidate.getCharPointer().getAddress();
        return std::strncmp (text, name, length) == 0 && text[length] == 0;
    };
    if (expected >= 0 && expected < numStoredAttributes && is (names[expected]))
        return expected;
    for (int i = 0; i < numStoredAttributes; ++i)
        if (is (names[i]))
            return i;
    return is (getEscapedFilenameName()) ? escapedFilename : -1;
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

void ID3DataBaseEntry::writeStoredAttributes (juce::OutputStream& out) const
{
    const auto* names = getStoredAttributeNames();
    writeTextAttribute (out, names[filenameAttribute], filename);
    writeTextAttribute (out, names[artistAttribute], artist);
    writeTextAttribute (out, names[albumAttribute], album);
    writeTextAttribute (out, names[songAttribute], song);
    writeTextAttribute (out, names[bpmAttribute], bpm);
    writeTextAttribute (out, names[labelAttribute], label);
    writeTextAttribute (out, names[genreAttribute], genre);
    writeTextAttribute (out, names[yearAttribute], year);
    writeNumberAttribute (out, names[filesizeAttribute], filesize);
    writeNumberAttribute (out, names[lmDateAttribute], lm_date);
    writeTextAttribute (out, names[qualityAttribute], quality);
    writeNumberAttribute (out, names[secondsAttribute], seconds);
    writeNumberAttribute (out, names[samplerateAttribute], samplerate);
    writeAttribute (out, names[couldNotWriteMetadataAttribute], couldNotWriteMetadata ? "1" : "0", 1);
    for (int i = 0; i < numCuePoints; ++i)
    {
        char text[32];
        writeAttribute (out, names[firstCuePointAttribute + i], text, formatCuePoint (cuePoint[i], text));
    }
    if (const auto escaped = getEscapedFilename(); escaped.isNotEmpty())
        writeTextAttribute (out, getEscapedFilenameName(), escaped);
}

std::unique_ptr<juce::XmlElement> ID3DataBaseEntry::createXml (const juce::String& tagName) const
{
    juce::String values[numStoredAttributes];
    getStoredAttributeValues (values);
    const auto* names = getStoredAttributeNames();
    auto element = std::make_unique<juce::XmlElement> (tagName);
    for (int i = 0; i < numStoredAttributes; ++i)
        element->setAttribute (names[i], values[i]);
    if (const auto escaped = getEscapedFilename(); escaped.isNotEmpty())
        element->setAttribute (getEscapedFilenameName(), escaped);
    return element;
}

void ID3DataBaseEntry::loadFromXml (const juce::XmlElement* element)
{
    if (element == nullptr)
        return;

    startLoading();
    const int count = element->getNumAttributes();
    for (int i = 0; i < count; ++i)
    {
        const auto name = element->getAttributeName (i);
        const auto* value = element->getAttributeValue (i).toRawUTF8();
        loadAttribute (findStoredAttribute (name.toRawUTF8(), std::strlen (name.toRawUTF8()), i), value, std::strlen (value));
    }
    finishLoading();
}

void ID3DataBaseEntry::startLoading()
{
    filename = artist = album = song = bpm = label = genre = year = quality = {};
    filesize = lm_date = 0;
    seconds = samplerate = 0;
    couldNotWriteMetadata = false;
    std::fill (std::begin (cuePoint), std::end (cuePoint), -1.0f);
    escapedPathBeingLoaded = {};
    keptEscapedFilename = {};
}

void ID3DataBaseEntry::loadAttribute (int attribute, const char* value, size_t length)
{
    switch (attribute)
    {
        case filenameAttribute:   filename = textOf (value, length); break;
        case artistAttribute:     artist = textOf (value, length); break;
        case albumAttribute:      album = textOf (value, length); break;
        case songAttribute:       song = textOf (value, length); break;
        case bpmAttribute:        bpm = textOf (value, length); break;
        case labelAttribute:      label = textOf (value, length); break;
        case genreAttribute:      genre = textOf (value, length); break;
        case yearAttribute:       year = textOf (value, length); break;
        case filesizeAttribute:   filesize = largeIntegerOf (value, length); break;
        case lmDateAttribute:     lm_date = largeIntegerOf (value, length); break;
        case qualityAttribute:    quality = textOf (value, length); break;
        case secondsAttribute:    seconds = integerOf (value, length); break;
        case samplerateAttribute: samplerate = integerOf (value, length); break;
        case couldNotWriteMetadataAttribute: couldNotWriteMetadata = booleanOf (value, length); break;
        case escapedFilename:     escapedPathBeingLoaded = textOf (value, length); break;
        default:
            if (attribute >= firstCuePointAttribute && attribute < numStoredAttributes)
                cuePoint[attribute - firstCuePointAttribute] = parseCuePoint (value, length);
            break; // unknown attributes are ignored
    }
}

void ID3DataBaseEntry::finishLoading()
{
    // The escaped path counts only while it still belongs to the readable one
    // beside it (an older program may have changed that).
    std::string bytes;
    if (escapedPathBeingLoaded.isNotEmpty() && unescapeMalformedBytes (escapedPathBeingLoaded, bytes)
        && textFromUtf8 (bytes.data(), bytes.size()) == filename)
    {
        if (isSafeStringBytes (bytes))
            filename = stringOfSafeBytes (bytes);
        else
            keptEscapedFilename = escapedPathBeingLoaded;
    }
    escapedPathBeingLoaded = {};
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
    const auto extension = getPathExtension (filename).toLowerCase();
    bool success = true;

    // Only a regular file is opened: reading a FIFO named like a song would wait for ever.
    const bool writesTags = extension == ".mp3" || extension == ".ogg";
    if (writesTags && ! isRegularFile (file))
        success = false;
    else if (extension == ".mp3")
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
