// The ID3 reading and writing of MP3 files on any input: no crash, no hang; an
// edit that is taken reads back as written and leaves the other texts alone.
#include "FuzzInputFile.h"
#include "library/tags/Id3Tags.h"

#include <array>
#include <string>
#include <vector>

namespace
{
using namespace zund;

struct Texts
{
    std::vector<std::vector<char>> buffers = std::vector<std::vector<char>> (numId3Fields, std::vector<char> (id3TextBufferSize, 0));

    bool read (const juce::File& file)
    {
        auto b = [this] (int field) { return buffers[(size_t) field].data(); };
        return readId3Tags (file.getFullPathName().toRawUTF8(), b (id3Artist), b (id3Title), b (id3Album), b (id3Bpm),
                            b (id3Label), b (id3Year), b (id3Genre));
    }

    std::string operator[] (int field) const { return buffers[(size_t) field].data(); }

    /** The text without the " / " between a frame's fields: TagLib drops a frame's
        empty fields when it writes it. */
    std::string withoutEmptyFields (int field) const
    {
        auto text = juce::String::fromUTF8 ((*this)[field].c_str());
        while (text.contains (" /  / "))
            text = text.replace (" /  / ", " / ");
        if (text.startsWith (" / "))
            text = text.substring (3);
        if (text.endsWith (" / "))
            text = text.dropLastCharacters (3);
        return text.toStdString();
    }
};
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto folder = fuzz::emptyWorkFolder();
    const auto file = fuzz::writeInputAs (folder.getChildFile ("song.mp3"), data, size);

    Texts before;
    if (! before.read (file))
        return 0;

    // The last bytes choose the edit, so the fuzzer can steer it.
    const int field = size > 0 ? data[size - 1] % numId3Fields : id3Title;
    const std::string text = size > 1 && (data[size - 2] & 1) != 0 ? "" : "Fuzz \xc3\xa9" "dit";
    const Id3TextEdit edits[] = { { field, text.c_str() } };
    if (! writeId3Tags (file.getFullPathName().toRawUTF8(), edits, 1))
    {
        juce::MemoryBlock now;
        file.loadFileAsData (now);
        fuzz::check (now.matches (data, size), "a refused write leaves the file alone");
        return 0;
    }

    Texts after;
    fuzz::check (after.read (file), "the written file reads");
    if (! text.empty() && field != id3Year && field != id3Genre && after[field] != text)
    {
        fprintf (stderr, "field %d set to \"%s\", reads \"%s\"\n", field, text.c_str(), after[field].c_str());
        fuzz::check (false, "the edit reads back");
    }
    // Emptying the last text drops the tag, and a stale tag that stood behind it
    // shows instead: TagLib's way, nothing lost.
    for (int other : { id3Artist, id3Album, id3Title })
        if (! text.empty() && other != field && after.withoutEmptyFields (other) != before.withoutEmptyFields (other))
        {
            fprintf (stderr, "field %d edited; field %d was \"%s\", is \"%s\"\n", field, other, before[other].c_str(),
                     after[other].c_str());
            fuzz::check (false, "the other texts stay");
        }
    return 0;
}
