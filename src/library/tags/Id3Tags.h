#pragma once

#include <cstddef>

namespace zund
{
/** The seven tag texts the library keeps for an MP3 file, by their writer field
    index, and the ID3v2 frame of each: TPE1, TALB, TIT2, TBPM, TPUB, TYER (TDRC in
    an ID3v2.4 tag), TCON. */
enum Id3Field
{
    id3Artist = 0,
    id3Album = 1,
    id3Title = 2,
    id3Bpm = 3,
    id3Label = 4,
    id3Year = 5,
    id3Genre = 6,
    numId3Fields = 7
};

/** Size of each caller-owned text buffer of readId3Tags. */
constexpr size_t id3TextBufferSize = 10000;

/** Reads the seven texts of an MP3 file's ID3v2 tag, and from its ID3v1 tag those the
    ID3v2 tag lacks, into buffers of id3TextBufferSize bytes as zero-terminated UTF-8
    (cut at a character boundary when longer). A null buffer skips that text; a buffer
    whose text the file lacks keeps what the caller put there. Genre numbers are
    turned into names (resolveId3GenreNumber). False, with every buffer untouched,
    when the file cannot be opened. */
bool readId3Tags (const char* path, char* artist, char* title, char* album, char* bpm,
                  char* label, char* year, char* genre);

/** One text to set: field index and UTF-8 text (empty removes the frame). */
struct Id3TextEdit
{
    int field;
    const char* text;
};

/** Sets the texts in the file's ID3v2 tag (made when there is none, as ID3v2.3) and
    in its ID3v1 tag, and commits both in one rewrite of the file, keeping the ID3v2
    tag's version and every other frame. Texts that are not Latin-1 are written as
    UTF-16 (UTF-8 in ID3v2.4). Edits with another field index change no frame. A
    tag the edits leave empty goes, unless an older tag lies behind it (one an
    earlier tagger left there), which would then show: it stays, emptied. False,
    with the file unchanged, when it cannot be read, parsed or written, when its
    tag runs past the file's end or into its ID3v1 tag, or holds an encrypted frame (which TagLib would
    write back as plain garbage) or a compressed text frame (whose encoding byte
    cannot be checked). */
bool writeId3Tags (const char* path, const Id3TextEdit* edits, int numEdits);

/** writeId3Tags with one text. */
bool writeId3Tag (const char* path, int field, const char* text);
}
