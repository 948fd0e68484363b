#include "library/tags/Id3Tags.h"

#include "common/NumberText.h"
#include "library/tags/FileReplacement.h"
#include "library/tags/Id3Genres.h"
#include "library/tags/TagText.h"

#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfilestream.h>

#include <array>
#include <limits>
#include <optional>
#include <vector>

namespace zund
{
namespace
{
namespace ID3v2 = TagLib::ID3v2;
using TextFrame = ID3v2::TextIdentificationFrame;

/** Frame::Header is protected; a frame class may name it for us. */
struct FrameHeaderAccess : ID3v2::Frame
{
    using Header = ID3v2::Frame::Header;
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
            auto genre = std::make_unique<TextFrame> (genreId, text->textEncoding());
            genre->setText (text->fieldList());
            tag.addFrame (genre.release());
        }
        tag.removeFrame (frame);
    }
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

    Texts texts;
    if (file.hasID3v2Tag())
        texts = readVersion2Texts (*file.ID3v2Tag());
    if (file.hasID3v1Tag())
        addVersion1Texts (*file.ID3v1Tag(), texts);

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
    TagLib::ByteVectorStream stream (TagLib::ByteVector (static_cast<const char*> (contents.getData()),
                                                         (unsigned int) contents.getSize()));
    contents.reset();
    TagLib::MPEG::File mp3 (&stream, &TagFrameFactory::get(), false);
    if (! mp3.isValid())
        return false;

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

    if (! mp3.save (TagLib::MPEG::File::ID3v1 | TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                    isVersion4 ? ID3v2::v4 : ID3v2::v3, TagLib::File::DoNotDuplicate))
        return false;

    FileReplacement replacement (file, "___TEMPORARY_MP3_MAY_BE_DELETED___");
    const auto* data = stream.data();
    return replacement.write (data->data(), data->size()) && replacement.commit();
}

bool writeId3Tag (const char* path, int field, const char* text)
{
    const Id3TextEdit edit { field, text };
    return writeId3Tags (path, &edit, 1);
}
}
