#pragma once

#include <cstddef>

namespace zund
{
/** Facts of an MP3 file's ID3v2 tag read from its bytes, where TagLib (1.13)
    takes them on trust. */
namespace Id3TagBytes
{
/** Where TagLib finds the file's ID3v2 tag (the first "ID3" before the audio),
    when it finds one; -1 when the bytes hold no "ID3". */
long findTagStart (const char* data, size_t size);

/** True when the tag at `start` ends inside the file: its header is whole and the
    length it claims (header, frames, padding, footer) does not run past the end.
    TagLib rewrites the claimed length in place, and moves memory by a negative
    size when it is longer than the file. */
bool tagFitsInFile (const char* data, size_t size, long start);

/** What the text encoding bytes of a tag's frames hold. */
struct TextEncodings
{
    bool unknown = false;    // a byte above 3: no encoding ID3v2 knows
    bool unreadable = false; // a frame with text that is compressed or encrypted, or
                             // an unknown byte in a tag unsynchronised as a whole
};

/** Looks at the text encoding bytes of the frames of the tag at `start`; with
    `mend`, sets each unknown one to 0, Latin-1, so that TagLib reads the text as
    such instead of as garbage and never writes the unknown byte back (TagLib
    keeps the byte as its string type, a value the type does not have). */
TextEncodings checkTextEncodings (char* data, size_t size, long start, bool mend);
}
}
