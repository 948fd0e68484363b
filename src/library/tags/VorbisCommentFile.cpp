#include "library/tags/VorbisCommentFile.h"

#include "library/tags/FileReplacement.h"
#include "library/tags/TagText.h"
#include "library/tags/VorbisEdit.h"

#include <cstdio>
#include <memory>

namespace zund
{
namespace
{
struct EditStateDeleter
{
    void operator() (VorbisEditState* state) const { vorbisEditClear (state); }
};
using EditState = std::unique_ptr<VorbisEditState, EditStateDeleter>;

struct FileCloser
{
    void operator() (FILE* file) const { std::fclose (file); }
};
using InputFile = std::unique_ptr<FILE, FileCloser>;
}

VorbisCommentFile::VorbisCommentFile (const juce::File& file)
{
    if (! file.existsAsFile())
        return;

    path = file.getFullPathName();
    InputFile input (std::fopen (path.toRawUTF8(), "rb"));
    if (input == nullptr)
        return;

    EditState edit (vorbisEditNewState());
    if (vorbisEditOpen (edit.get(), input.get()) != 0)
        return;

    state = opened;
    parseComments (vorbisEditGetComments (edit.get()));
}

juce::String VorbisCommentFile::getValue (const juce::String& key) const
{
    return state == opened ? comments.getValue (key, {}) : juce::String();
}

bool VorbisCommentFile::setValue (const juce::String& key, const juce::String& value)
{
    if (state != opened)
        return false;
    comments.set (key, value);
    return true;
}

void VorbisCommentFile::parseComments (const vorbis_comment* source)
{
    if (state != opened)
        return;
    if (source == nullptr)
    {
        state = noComments;
        return;
    }

    for (int i = 0; i < source->comments; ++i)
    {
        const auto length = source->comment_lengths[i];
        if (length <= 0 || source->user_comments[i] == nullptr)
            continue;

        const auto text = textFromUtf8 (source->user_comments[i], (size_t) length);
        const auto equals = text.indexOfChar ('=');
        if (equals >= 0) // a comment without "=" has no key and is dropped
            comments.set (text.substring (0, equals), text.substring (equals + 1));
    }
}

void VorbisCommentFile::buildComments (vorbis_comment& target) const
{
    vorbis_comment_clear (&target);
    vorbis_comment_init (&target);
    const auto& keys = comments.getAllKeys();
    const auto& values = comments.getAllValues();
    for (int i = 0; i < keys.size(); ++i)
        if (values[i].isNotEmpty())
            vorbis_comment_add (&target, (keys[i] + "=" + values[i]).toRawUTF8());
}

FILE* VorbisCommentFile::openForRewriting (const juce::String& filePath) const
{
    return std::fopen (filePath.toRawUTF8(), "rb");
}

bool VorbisCommentFile::save()
{
    if (state != opened)
        return false;

    InputFile input (openForRewriting (path));
    if (input == nullptr)
        return false;

    EditState edit (vorbisEditNewState());
    if (vorbisEditOpen (edit.get(), input.get()) != 0 || vorbisEditGetComments (edit.get()) == nullptr)
        return false;
    buildComments (*vorbisEditGetComments (edit.get()));

    FileReplacement replacement (juce::File (path), "___TEMPORARY_OGG_MAY_BE_DELETED___");
    if (replacement.getStream() == nullptr)
        return false;

    // A read error looks like the end of the file to the editor: it must not pass for one.
    const bool written = vorbisEditWrite (edit.get(), replacement.getStream()) == 0
                      && std::ferror (input.get()) == 0;
    input.reset();
    return written && replacement.commit();
}
}
