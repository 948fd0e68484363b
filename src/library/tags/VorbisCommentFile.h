#pragma once

#include <juce_core/juce_core.h>

#include <cstdio>

struct vorbis_comment;

namespace zund
{
/** The Vorbis comments (KEY=value) of an Ogg Vorbis file, read when the object is
    made, changed with setValue and written back into the file with save. Keys are
    compared without regard to case; a repeated key keeps its last value. */
class VorbisCommentFile
{
public:
    enum State
    {
        notOpened = -1,   // missing file, open failure, not an Ogg Vorbis stream
        opened = 0,
        noComments = 1
    };

    explicit VorbisCommentFile (const juce::File& file);
    virtual ~VorbisCommentFile() = default;

    int getState() const noexcept { return state; }

    /** The value stored under the key; empty when absent or not opened. */
    juce::String getValue (const juce::String& key) const;

    /** Stores the pair (an empty value removes the comment at the next save); false
        when the file was not opened. */
    bool setValue (const juce::String& key, const juce::String& value);

    /** Rewrites the file with the comments (every non-empty value, in the order the
        keys were first stored): into a temporary file beside it, which then replaces
        it. False, with the file untouched, when the file was not opened, cannot be
        read again, is damaged or of an unusual layout, or the new file cannot be
        written. */
    bool save();

protected:
    /** The file opened for reading by save, as a C stream (closed by save); null
        when it cannot be opened. A stream whose reading fails part-way looks
        like an ending file to the editor: save checks for that. */
    virtual FILE* openForRewriting (const juce::String& filePath) const;

private:
    void parseComments (const vorbis_comment* source);
    void buildComments (vorbis_comment& target) const;

    juce::String path;
    int state = notOpened;
    juce::StringPairArray comments { true };

    JUCE_DECLARE_NON_COPYABLE (VorbisCommentFile)
};
}
