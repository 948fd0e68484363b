// A music folder copied from older systems holds names the framework's own
// listing overflows on. The program's listing skips those (and says which),
// lists the rest byte for byte, and never leaves the folder's own bounds.

#include "common/files/FileFacts.h"
#include "common/files/FolderListing.h"
#include "common/files/FolderWalker.h"
#include "support/OddNames.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <set>

using namespace zund;

namespace
{
struct OddFolder
{
    test::TempFolder temp;
    juce::File music = temp.file ("music");

    // The odd names in the music folder, a safe and an unsafe sub-folder with
    // a song each, and a FIFO.
    OddFolder()
    {
        music.createDirectory();
        for (const auto& name : test::oddSongNames())
        {
            const auto plain = music.getChildFile ("plain");
            plain.replaceWithText ("x");
            EXPECT_TRUE (test::renameTo (plain, music, name.bytes)) << name.what;
        }
        EXPECT_TRUE (test::makeFolderNamed (music, "Caf\xe9"));      // ends in a lead byte
        EXPECT_TRUE (test::makeFolderNamed (music, "Ol\xe9 Ol\xe9 Mix")); // Latin-1 it can hold
        music.getChildFile ("plain").replaceWithText ("x");
        EXPECT_TRUE (test::renameTo (music.getChildFile ("plain"), music, "Caf\xe9/inside.mp3"));
        music.getChildFile ("plain").replaceWithText ("x");
        EXPECT_TRUE (test::renameTo (music.getChildFile ("plain"), music, "Ol\xe9 Ol\xe9 Mix/deeper.mp3"));
        EXPECT_EQ (::mkfifo (test::pathIn (music, "stalled.mp3").c_str(), 0600), 0);
    }

    std::set<std::string> safeSongPaths (bool withSubFolders) const
    {
        std::set<std::string> paths;
        for (const auto& name : test::oddSongNames())
            if (name.safe)
                paths.insert (test::pathIn (music, name.bytes));
        if (withSubFolders)
            paths.insert (test::pathIn (music, "Ol\xe9 Ol\xe9 Mix/deeper.mp3"));
        return paths;
    }

    std::set<std::string> unsafePaths() const
    {
        std::set<std::string> paths { test::pathIn (music, "Caf\xe9") };
        for (const auto& name : test::oddSongNames())
            if (! name.safe)
                paths.insert (test::pathIn (music, name.bytes));
        return paths;
    }
};

std::set<std::string> bytesOf (const std::vector<juce::File>& files)
{
    std::set<std::string> paths;
    for (const auto& file : files)
        paths.insert (file.getFullPathName().toStdString());
    return paths;
}
}

TEST (FolderListing, SkipsNamesTheProgramCannotHoldAndKeepsTheRestByteForByte)
{
    OddFolder folder;
    FolderListing listing (folder.music);

    std::set<std::string> files, folders, others, skipped;
    for (FolderListing::Entry entry; listing.next (entry);)
    {
        auto& kind = entry.kind == FolderListing::Kind::file ? files
                   : entry.kind == FolderListing::Kind::folder ? folders : others;
        kind.insert (entry.path);
        EXPECT_EQ (entry.getFile().getFullPathName().toStdString(), entry.path) << "byte for byte";
        EXPECT_EQ (entry.getFile().getParentDirectory(), folder.music);
        for (auto& skip : listing.takeSkipped())
            skipped.insert (skip.path);
    }
    for (auto& skip : listing.takeSkipped())
        skipped.insert (skip.path);

    EXPECT_EQ (files, folder.safeSongPaths (false));
    EXPECT_EQ (folders, std::set<std::string> { test::pathIn (folder.music, "Ol\xe9 Ol\xe9 Mix") });
    EXPECT_EQ (others, std::set<std::string> { test::pathIn (folder.music, "stalled.mp3") }) << "a FIFO is no file";
    EXPECT_EQ (skipped, folder.unsafePaths());
}

TEST (FolderListing, AFolderWhosePathCannotBeHeldListsNothing)
{
    OddFolder folder;
    FolderListing listing (test::pathIn (folder.music, "Caf\xe9"));
    FolderListing::Entry entry;
    EXPECT_FALSE (listing.next (entry));
    const auto skipped = listing.takeSkipped();
    ASSERT_EQ (skipped.size(), 1u);
    EXPECT_EQ (skipped[0].path, test::pathIn (folder.music, "Caf\xe9"));
    EXPECT_EQ (skipped[0].kind, FolderListing::Kind::folder);
}

TEST (FolderListing, WalksAndFileListsGiveTheSafeSongsAndReportTheRest)
{
    OddFolder folder;
    for (const bool deep : { false, true })
    {
        SCOPED_TRACE (deep ? "with sub-folders" : "this folder only");
        FolderWalker walker (folder.music, deep);
        std::vector<juce::File> walked;
        for (juce::File file; walker.next (file);)
            walked.push_back (file);
        EXPECT_EQ (bytesOf (walked), folder.safeSongPaths (deep));

        std::set<std::string> skipped;
        for (const auto& entry : walker.getSkipped())
            skipped.insert (entry.path);
        EXPECT_EQ (skipped, folder.unsafePaths());

        EXPECT_EQ (bytesOf (*listFilesInFolder (folder.music, deep)), folder.safeSongPaths (deep));
    }
}

// The framework's own listing (its file choosers and plug-in scans list with
// it) is compiled with a patch that skips by the same rule: both list the same
// entries, byte for byte, and it never makes a string of the others.
TEST (FolderListing, TheFrameworksListingSkipsTheSameNames)
{
    OddFolder folder;
    std::set<std::string> programs;
    FolderListing listing (folder.music);
    for (FolderListing::Entry entry; listing.next (entry);)
        programs.insert (entry.path);

    for (const bool deep : { false, true })
    {
        SCOPED_TRACE (deep ? "with sub-folders" : "this folder only");
        std::set<std::string> frameworks;
        for (const auto& entry : juce::RangedDirectoryIterator (folder.music, deep, "*", juce::File::findFilesAndDirectories))
            frameworks.insert (entry.getFile().getFullPathName().toStdString());

        auto expected = programs;
        if (deep)
            expected.insert (test::pathIn (folder.music, "Ol\xe9 Ol\xe9 Mix/deeper.mp3"));
        EXPECT_EQ (frameworks, expected);
    }
}
