#include "library/tags/Id3Tags.h"

#include "common/text/NumberText.h"
#include "library/tags/FileReplacement.h"
#include "library/tags/Id3Genres.h"
#include "library/tags/Id3TagBytes.h"
#include "library/tags/TagText.h"

#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfilestream.h>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace zund
{
namespace
{
namespace ID3v2 = TagLib::ID3v2;
using TextFrame = ID3v2::TextIdentificationFrame;

/** Frame::Header and Frame::header() are protected; a frame class may name them for us. */
struct FrameHeaderAccess : ID3v2::Frame
{
    using Header = ID3v2::Frame::Header;

    static Header* headerOf (const ID3v2::Frame& frame)
    {
        constexpr Header* (ID3v2::Frame::*get)() const = &FrameHeaderAccess::header;
        return (frame.*get)();
    }
};

// TagLib rewrites a genre frame's text while it reads it ("(17)" turns into "17",
// "()" vanishes). Renamed to this id as it is read, the frame keeps the file's text.
const TagLib::ByteVector rawGenreId ("TZGN");
const TagLib::ByteVector genreId ("TCON");

/** Reads frames as the file holds them, so a rewrite keeps them: an ID3v2.3 tag's
    frames stay ID3v2.3 frames (TagLib would turn TYER into TDRC and drop TDAT,
    TIME or RVAD), and the genre keeps its text. */
class TagFrameFactory : public ID3v2::FrameFactory
{
public:
    static TagFrameFactory& get()
    {
        static TagFrameFactory factory;
        return factory;
    }

protected:
    bool updateFrame (FrameHeaderAccess::Header* header) const override
    {
        if (header->version() != 3 && ! ID3v2::FrameFactory::updateFrame (header))
            return false;
        if (header->frameID() == genreId)
            header->setFrameID (rawGenreId);
        return true;
    }
};

using Texts = std::array<std::optional<juce::String>, numId3Fields>;

/** An MP3 file parsed from bytes in memory. */
struct ParsedMp3
{
    explicit ParsedMp3 (const TagLib::ByteVector& bytes)
        : stream (bytes), file (&stream, &TagFrameFactory::get(), false) {}

    TagLib::ByteVectorStream stream;
    TagLib::MPEG::File file;
};

/** The file parsed again from these bytes with the unknown text encodings of its
    tag taken as Latin-1; null when the tag has none. */
std::unique_ptr<ParsedMp3> withUnknownEncodingsAsLatin1 (const TagLib::ByteVector& bytes, long tagStart)
{
    // Looked at in place first: a copy of the whole file only when it is needed.
    auto* data = const_cast<char*> (bytes.data());
    if (! Id3TagBytes::checkTextEncodings (data, bytes.size(), tagStart, false).unknown)
        return nullptr;
    TagLib::ByteVector mended (bytes.data(), bytes.size());
    Id3TagBytes::checkTextEncodings (mended.data(), mended.size(), tagStart, true);
    return std::make_unique<ParsedMp3> (mended);
}

/** True when a frame of the file's ID3v2 tag has a text encoding byte that is no
    encoding, read from the file's first bytes as far as the tag reaches (TagLib
    found it near the start, before the audio). */
bool hasUnknownTextEncodings (TagLib::FileStream& stream)
{
    constexpr unsigned int searched = 1 << 16;
    constexpr long largestTag = 64 << 20;
    stream.seek (0);
    auto head = stream.readBlock (searched);
    const long start = Id3TagBytes::findTagStart (head.data(), head.size());
    if (start < 0 || (size_t) start + 10 > head.size())
        return false;

    const auto* header = reinterpret_cast<const unsigned char*> (head.data()) + start;
    const long claimed = 10 + (long) (header[6] << 21 | header[7] << 14 | header[8] << 7 | header[9]);
    const long reach = std::min (start + claimed, std::min (largestTag, stream.length()));
    if (reach > (long) head.size())
        head.append (stream.readBlock ((unsigned long) (reach - (long) head.size())));
    return Id3TagBytes::checkTextEncodings (head.data(), head.size(), start, false).unknown;
}

juce::String fromTagLib (const TagLib::String& text)
{
    const auto utf8 = text.to8Bit (true);
    return textFromUtf8 (utf8.data(), utf8.size());
}

/** The last text frame with one of these ids. */
const TextFrame* findLastTextFrame (const ID3v2::Tag& tag, std::initializer_list<TagLib::ByteVector> ids)
{
    for (const auto& id : ids)
    {
        const auto& frames = tag.frameListMap();
        const auto found = frames.find (id);
        if (found != frames.end() && ! found->second.isEmpty())
            if (auto* frame = dynamic_cast<const TextFrame*> (found->second.back()))
                return frame;
    }
    return nullptr;
}

juce::String joinFields (const TextFrame& frame, bool isGenre, bool isVersion4)
{
    juce::StringArray parts;
    for (const auto& field : frame.fieldList())
    {
        auto text = fromTagLib (field);
        if (isGenre)
        {
            if (isVersion4 && text.isNotEmpty() && text.containsOnly ("0123456789"))
                text = "(" + text + ")"; // ID3v2.4 stores a genre number alone
            text = resolveId3GenreNumber (text);
        }
        parts.add (text);
    }
    return parts.joinIntoString (" / ");
}

const std::array<TagLib::ByteVector, numId3Fields>& getFrameIds()
{
    static const std::array<TagLib::ByteVector, numId3Fields> ids {
        TagLib::ByteVector ("TPE1"), TagLib::ByteVector ("TALB"), TagLib::ByteVector ("TIT2"),
        TagLib::ByteVector ("TBPM"), TagLib::ByteVector ("TPUB"), TagLib::ByteVector ("TYER"), genreId
    };
    return ids;
}

const TagLib::ByteVector& getVersion4YearId()
{
    static const TagLib::ByteVector id ("TDRC");
    return id;
}

Texts readVersion2Texts (const ID3v2::Tag& tag)
{
    const bool isVersion4 = tag.header()->majorVersion() >= 4;
    const auto& ids = getFrameIds();
    Texts texts;
    for (int field = 0; field < numId3Fields; ++field)
    {
        const TextFrame* frame = nullptr;
        if (field == id3Year && isVersion4)
            frame = findLastTextFrame (tag, { getVersion4YearId(), ids[(size_t) field] });
        else if (field == id3Year)
            frame = findLastTextFrame (tag, { ids[(size_t) field], getVersion4YearId() });
        else if (field == id3Genre)
            frame = findLastTextFrame (tag, { rawGenreId, genreId });
        else
            frame = findLastTextFrame (tag, { ids[(size_t) field] });

        if (frame != nullptr)
            texts[(size_t) field] = joinFields (*frame, field == id3Genre, isVersion4);
    }
    return texts;
}

/** The ID3v1 texts for the fields that have none yet. */
void addVersion1Texts (const TagLib::ID3v1::Tag& tag, Texts& texts)
{
    auto fill = [&texts] (int field, const juce::String& text) {
        auto& slot = texts[(size_t) field];
        if (text.isNotEmpty() && (! slot.has_value() || slot->isEmpty()))
            slot = text;
    };
    fill (id3Artist, fromTagLib (tag.artist()));
    fill (id3Album, fromTagLib (tag.album()));
    fill (id3Title, fromTagLib (tag.title()));
    if (tag.year() > 0)
        fill (id3Year, juce::String (tag.year()));
    if (tag.genreNumber() != 255) // 255 means none
        fill (id3Genre, resolveId3GenreNumber ("(" + juce::String (tag.genreNumber()) + ")"));
}

/** Puts the text into a new frame in place of the tag's frames of that id; empty
    text leaves no frame. */
void replaceId3TextFrame (ID3v2::Tag& tag, const TagLib::ByteVector& frameId, const char* text)
{
    tag.removeFrames (frameId);
    const TagLib::String value (text, TagLib::String::UTF8);
    if (value.isEmpty())
        return;

    // TagLib renders non-Latin-1 text as UTF-16 in ID3v2.3 and as UTF-8 in ID3v2.4.
    auto frame = std::make_unique<TextFrame> (frameId, value.isLatin1() ? TagLib::String::Latin1 : TagLib::String::UTF8);
    frame->setText (value);
    tag.addFrame (frame.release());
}

/** TagLib leaves out every frame flagged to be discarded when the tag is altered.
    The flag is for frames a tagger does not know; the program's own are kept. */
void keepProgramFrames (ID3v2::Tag& tag)
{
    for (auto* frame : tag.frameList())
    {
        const auto& id = frame->frameID();
        const auto& ids = getFrameIds();
        if (std::find (ids.begin(), ids.end(), id) != ids.end() || id == getVersion4YearId() || id == rawGenreId)
            FrameHeaderAccess::headerOf (*frame)->setTagAlterPreservation (false);
    }
}

/** TagLib writes every frame without its flags: an encrypted frame, which it
    cannot read, would come back as plain garbage (an encrypted album as a
    garbled album). */
bool hasEncryptedFrame (const ID3v2::Tag& tag)
{
    for (const auto* frame : tag.frameList())
        if (FrameHeaderAccess::headerOf (*frame)->encryption())
            return true;
    return false;
}

/** Genre frames read under their stand-in id go back under their own. */
void restoreGenreFrames (ID3v2::Tag& tag)
{
    std::vector<ID3v2::Frame*> standIns;
    for (auto* frame : tag.frameList())
        if (frame->frameID() == rawGenreId)
            standIns.push_back (frame);

    for (auto* frame : standIns)
    {
        if (auto* text = dynamic_cast<TextFrame*> (frame))
        {
            // The encoding from the text: a frame's own may be a byte no encoding has.
            const auto fields = text->fieldList();
            const bool latin1 = std::all_of (fields.begin(), fields.end(), [] (const auto& f) { return f.isLatin1(); });
            auto genre = std::make_unique<TextFrame> (genreId, latin1 ? TagLib::String::Latin1 : TagLib::String::UTF8);
            genre->setText (fields);
            tag.addFrame (genre.release());
        }
        tag.removeFrame (frame);
    }
}

/** An ID3v2 tag of that version holding nothing but padding. */
TagLib::ByteVector emptyVersion2Tag (bool isVersion4)
{
    constexpr unsigned int padding = 1024;
    ID3v2::Header header;
    header.setMajorVersion (isVersion4 ? 4 : 3);
    header.setTagSize (padding);
    return header.render() + TagLib::ByteVector (padding, '\0');
}

/** The file as saved, with an empty tag put back where TagLib removed one that
    the edit left empty, when another tag of that kind would show in its place:
    an older one a tagger once left behind it (an ID3v1 tag before the last,
    an ID3v2 tag further on before the audio), whose texts the user would see
    again. What lies hidden stays as it was. */
TagLib::ByteVector keepOlderTagsHidden (const TagLib::ByteVector& saved, bool version2Removed, bool version1Removed,
                                        bool isVersion4)
{
    if (! version2Removed && ! version1Removed)
        return saved;

    const ParsedMp3 after (saved);
    const bool hiddenVersion2 = version2Removed && after.file.hasID3v2Tag();
    const bool hiddenVersion1 = version1Removed && after.file.hasID3v1Tag();
    if (! hiddenVersion2 && ! hiddenVersion1)
        return saved;

    TagLib::ByteVector kept = hiddenVersion2 ? emptyVersion2Tag (isVersion4) : TagLib::ByteVector();
    kept.append (saved);
    if (hiddenVersion1)
        kept.append (TagLib::ID3v1::Tag().render());
    return kept;
}

void setVersion1Field (TagLib::ID3v1::Tag& tag, int field, const char* text)
{
    const TagLib::String value (text, TagLib::String::UTF8);
    const auto juceText = juce::String::fromUTF8 (text);
    switch (field)
    {
        case id3Artist: tag.setArtist (value); break;
        case id3Album:  tag.setAlbum (value); break;
        case id3Title:  tag.setTitle (value); break;
        case id3Year:   tag.setYear ((unsigned int) juce::jmax (0, parseWholeNumber (juceText))); break;
        case id3Genre:
        {
            const int index = findId3GenreIndex (resolveId3GenreNumber (juceText));
            tag.setGenreNumber (index >= 0 ? (unsigned int) index : 255u);
            break;
        }
        default: break;
    }
}
}

bool readId3Tags (const char* path, char* artist, char* title, char* album, char* bpm,
                  char* label, char* year, char* genre)
{
    TagLib::FileStream stream (path, true);
    if (! stream.isOpen())
        return false;

    TagLib::MPEG::File file (&stream, &TagFrameFactory::get(), false);
    if (! file.isValid())
        return false;

    // Rare enough to read the whole file for: a text frame of an unknown encoding.
    std::unique_ptr<ParsedMp3> mended;
    if (file.hasID3v2Tag() && hasUnknownTextEncodings (stream))
    {
        juce::MemoryBlock contents;
        const juce::File source (juce::String::fromUTF8 (path));
        if (source.getSize() <= std::numeric_limits<int>::max() && source.loadFileAsData (contents))
        {
            const TagLib::ByteVector bytes (static_cast<const char*> (contents.getData()), (unsigned int) contents.getSize());
            mended = withUnknownEncodingsAsLatin1 (bytes, Id3TagBytes::findTagStart (bytes.data(), bytes.size()));
        }
    }
    auto& parsed = mended != nullptr && mended->file.isValid() ? mended->file : file;

    Texts texts;
    if (parsed.hasID3v2Tag())
        texts = readVersion2Texts (*parsed.ID3v2Tag());
    if (parsed.hasID3v1Tag())
        addVersion1Texts (*parsed.ID3v1Tag(), texts);

    char* const buffers[numId3Fields] = { artist, album, title, bpm, label, year, genre };
    for (int field = 0; field < numId3Fields; ++field)
        if (buffers[field] != nullptr && texts[(size_t) field].has_value())
            copyTextToBuffer (*texts[(size_t) field], buffers[field], id3TextBufferSize);
    return true;
}

bool writeId3Tags (const char* path, const Id3TextEdit* edits, int numEdits)
{
    const juce::File file (juce::String::fromUTF8 (path));
    juce::MemoryBlock contents;
    if (! file.existsAsFile() || file.getSize() > std::numeric_limits<int>::max()
        || ! file.loadFileAsData (contents))
        return false;

    // Edited in memory and written as a whole new file: a failure half-way leaves
    // the file as it was.
    auto parsed = std::make_unique<ParsedMp3> (TagLib::ByteVector (static_cast<const char*> (contents.getData()),
                                                                   (unsigned int) contents.getSize()));
    contents.reset();
    if (! parsed->file.isValid())
        return false;
    if (parsed->file.hasID3v2Tag())
    {
        // A tag cut short (a download stopped inside it) cannot be rewritten.
        const auto& bytes = *parsed->stream.data();
        const auto tagStart = Id3TagBytes::findTagStart (bytes.data(), bytes.size());
        const auto claimed = (size_t) parsed->file.ID3v2Tag()->header()->completeTagSize();
        if (! Id3TagBytes::tagFitsInFile (bytes.data(), bytes.size(), tagStart) || claimed > bytes.size() - (size_t) tagStart)
            return false;
        // Nor one that runs into the ID3v1 tag in the last 128 bytes: TagLib would write
        // that one back over the middle of the new ID3v2 tag.
        if (parsed->file.hasID3v1Tag() && (size_t) tagStart + claimed > bytes.size() - 128)
            return false;
        // A text frame whose encoding cannot be seen could not be kept from writing an unknown one.
        if (Id3TagBytes::checkTextEncodings (const_cast<char*> (bytes.data()), bytes.size(), tagStart, false).unreadable)
            return false;
        if (auto mended = withUnknownEncodingsAsLatin1 (bytes, tagStart))
            parsed = std::move (mended);
        if (! parsed->file.isValid() || hasEncryptedFrame (*parsed->file.ID3v2Tag()))
            return false;
    }
    auto& mp3 = parsed->file;

    const bool isVersion4 = mp3.hasID3v2Tag() && mp3.ID3v2Tag()->header()->majorVersion() >= 4;
    auto& tag = *mp3.ID3v2Tag (true);
    auto& version1 = *mp3.ID3v1Tag (true);

    for (int i = 0; i < numEdits; ++i)
    {
        const auto field = edits[i].field;
        const auto* text = edits[i].text != nullptr ? edits[i].text : "";
        if (field < 0 || field >= numId3Fields)
            continue;

        if (field == id3Year)
        {
            // One year frame, of the kind the tag's version has.
            tag.removeFrames (isVersion4 ? getFrameIds()[(size_t) id3Year] : getVersion4YearId());
            replaceId3TextFrame (tag, isVersion4 ? getVersion4YearId() : getFrameIds()[(size_t) id3Year], text);
        }
        else
        {
            if (field == id3Genre)
                tag.removeFrames (rawGenreId);
            replaceId3TextFrame (tag, getFrameIds()[(size_t) field], text);
        }
        setVersion1Field (version1, field, text);
    }
    restoreGenreFrames (tag);
    keepProgramFrames (tag);

    // TagLib removes a tag left empty rather than write it.
    const bool version2Removed = mp3.hasID3v2Tag() && tag.isEmpty();
    const bool version1Removed = mp3.hasID3v1Tag() && version1.isEmpty();
    if (! mp3.save (TagLib::MPEG::File::ID3v1 | TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                    isVersion4 ? ID3v2::v4 : ID3v2::v3, TagLib::File::DoNotDuplicate))
        return false;

    const auto data = keepOlderTagsHidden (*parsed->stream.data(), version2Removed, version1Removed, isVersion4);
    FileReplacement replacement (file, "___TEMPORARY_MP3_MAY_BE_DELETED___");
    return replacement.write (data.data(), data.size()) && replacement.commit();
}

bool writeId3Tag (const char* path, int field, const char* text)
{
    const Id3TextEdit edit { field, text };
    return writeId3Tags (path, &edit, 1);
}
}
