// A read error part-way through an Ogg file (a failing disk, a dropped network
// mount) reads like the end of the file to the stream editor: saving must then
// fail and leave the song whole, not replace it with its first part.

#include "library/tags/VorbisCommentFile.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace zund;

namespace
{
/** The file's bytes up to a point, then a read error (as from a bad sector). */
struct FailingRead
{
    juce::MemoryBlock data;
    size_t position = 0, failAt = 0;

    static ssize_t read (void* cookie, char* buffer, size_t size)
    {
        auto& self = *static_cast<FailingRead*> (cookie);
        if (self.position >= self.data.getSize())
            return 0;
        if (self.position >= self.failAt)
        {
            errno = EIO;
            return -1;
        }
        const auto n = std::min (size, self.failAt - self.position);
        std::memcpy (buffer, static_cast<const char*> (self.data.getData()) + self.position, n);
        self.position += n;
        return (ssize_t) n;
    }

    static int close (void*) { return 0; }
};

class CommentsOnAFailingDisk : public VorbisCommentFile
{
public:
    CommentsOnAFailingDisk (const juce::File& file, size_t failAt) : VorbisCommentFile (file)
    {
        file.loadFileAsData (input.data);
        input.failAt = failAt;
    }

private:
    FILE* openForRewriting (const juce::String&) const override
    {
        input.position = 0;
        cookie_io_functions_t functions {};
        functions.read = &FailingRead::read;
        functions.close = &FailingRead::close;
        return ::fopencookie (&input, "rb", functions);
    }

    mutable FailingRead input;
};
}

TEST (VorbisReadError, AReadErrorPartWayFailsTheSaveAndLeavesTheSongWhole)
{
    // A chained file (a second stream after the first): the error comes just
    // where the second stream begins, where an early end looks complete (the
    // editor itself refuses a page cut in half).
    test::TempFolder temp;
    const auto first = temp.file ("first.ogg");
    const auto second = temp.file ("second.ogg");
    ASSERT_TRUE (test::writeOgg (first, 2.0, { "TITLE=one" }, 11));
    ASSERT_TRUE (test::writeOgg (second, 3.0, { "TITLE=two" }, 22));
    juce::MemoryBlock before, secondBytes;
    first.loadFileAsData (before);
    second.loadFileAsData (secondBytes);
    const auto firstSize = before.getSize();
    before.append (secondBytes.getData(), secondBytes.getSize());
    const auto song = temp.file ("song.ogg");
    ASSERT_TRUE (song.replaceWithData (before.getData(), before.getSize()));
    first.deleteFile();
    second.deleteFile();

    {
        // The same stream read without an error saves (the error alone makes the difference).
        const auto copy = temp.file ("copy.ogg");
        ASSERT_TRUE (song.copyFileTo (copy));
        CommentsOnAFailingDisk whole (copy, before.getSize());
        ASSERT_TRUE (whole.setValue ("TITLE", "new"));
        EXPECT_TRUE (whole.save());
        copy.deleteFile();
    }

    CommentsOnAFailingDisk comments (song, firstSize);
    ASSERT_EQ (comments.getState(), VorbisCommentFile::opened);
    ASSERT_TRUE (comments.setValue ("TITLE", "new"));
    EXPECT_FALSE (comments.save());

    juce::MemoryBlock after;
    song.loadFileAsData (after);
    EXPECT_EQ (after, before) << "the song is not cut short";
    EXPECT_EQ (temp.get().getNumberOfChildFiles (juce::File::findFiles), 1) << "no temporary file left";
}
