#include "library/tree/TreeViewFile.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
TreeViewFile readText (const test::TempFolder& temp, const juce::String& text, juce::String& warning)
{
    const auto file = temp.file ("TreeView.xml");
    file.replaceWithText (text);
    bool mayOverwrite = false;
    auto state = TreeViewFile::read (file, warning, mayOverwrite);
    EXPECT_TRUE (mayOverwrite);
    return state;
}
}

TEST (TreeViewFile, writtenFileReadsBackHereAndInPython)
{
    test::TempFolder temp;
    TreeViewFile state;
    state.headerState = "<TABLELAYOUT sortedCol=\"0\"/>";
    state.lastWidth = 312;
    state.songFolders = { { "House", "/music/house" }, { juce::String::fromUTF8 ("Caf\xc3\xa9 & Bar"), "/music/a \"b\"" } };
    state.cases = { { "Warmup", { "/music/house/a.mp3", "/music/house/b.mp3", "/music/house/a.mp3" } }, { "Empty", {} } };

    juce::String error;
    const auto file = temp.file ("TreeView.xml");
    ASSERT_TRUE (state.write (file, error)) << error;

    juce::String warning;
    bool mayOverwrite = false;
    const auto back = TreeViewFile::read (file, warning, mayOverwrite);
    EXPECT_TRUE (warning.isEmpty());
    EXPECT_EQ (back.headerState, state.headerState);
    EXPECT_EQ (back.lastWidth, 312);
    ASSERT_EQ (back.songFolders.size(), 2u);
    EXPECT_EQ (back.songFolders[1].name, state.songFolders[1].name);
    EXPECT_EQ (back.songFolders[1].path, "/music/a \"b\"");
    ASSERT_EQ (back.cases.size(), 2u);
    EXPECT_EQ (back.cases[0].files, state.cases[0].files) << "a song twice stays twice, in order";
    EXPECT_TRUE (back.cases[1].files.isEmpty());

    // The names the file uses, read by another parser.
    const auto listing = test::runCommand ({ "python3", "-c",
        "import sys, xml.etree.ElementTree as E\n"
        "r = E.parse(sys.argv[1]).getroot()\n"
        "print(r.tag, r.get('lastWidth'))\n"
        "for f in r.find('songFolders'): print(f.tag, f.get('name'), f.get('path'))\n"
        "for c in r.find('cases'): print(c.tag, c.get('name'), ' '.join(k + '=' + v for k, v in c.find('files').attrib.items()))\n",
        file.getFullPathName() });
    ASSERT_TRUE (listing.succeeded()) << listing.output;
    EXPECT_EQ (listing.output,
               juce::String::fromUTF8 ("TreeView 312\nSongFolder0 House /music/house\nSongFolder1 Caf\xc3\xa9 & Bar /music/a \"b\"\n"
                                       "Case0 Warmup file0=/music/house/a.mp3 file1=/music/house/b.mp3 file2=/music/house/a.mp3\n"
                                       "Case1 Empty \n"));
}

TEST (TreeViewFile, olderFormsAndLooseNamesAreRead)
{
    test::TempFolder temp;
    juce::String warning;

    auto older = readText (temp, "<TreeView songFolder=\"/music\"/>", warning);
    ASSERT_EQ (older.songFolders.size(), 1u);
    EXPECT_EQ (older.songFolders[0].name, "Song Folder");
    EXPECT_EQ (older.songFolders[0].path, "/music");
    EXPECT_EQ (older.lastWidth, TreeViewFile::smallestStoredWidth) << "no lastWidth reads as 10";

    auto loose = readText (temp,
                           "<treeview LASTWIDTH=\"5\"><SONGFOLDERS><x name=\"A\" path=\"/a\"/><y name=\"\" path=\"/b\"/></SONGFOLDERS>"
                           "<Cases><whatever title=\"Set 1\"><FILES one=\"/a/1.mp3\" two=\"/a/2.mp3\"/></whatever></Cases></treeview>",
                           warning);
    EXPECT_EQ (loose.lastWidth, TreeViewFile::smallestStoredWidth);
    ASSERT_EQ (loose.songFolders.size(), 1u) << "a folder without a name is skipped";
    ASSERT_EQ (loose.cases.size(), 1u);
    EXPECT_EQ (loose.cases[0].name, "Set 1") << "a case's name is its first attribute";
    EXPECT_EQ (loose.cases[0].files, juce::StringArray ({ "/a/1.mp3", "/a/2.mp3" }));
    EXPECT_TRUE (warning.isEmpty());
}

TEST (TreeViewFile, anUnreadableFileIsMovedAsideWithAWarning)
{
    test::TempFolder temp;
    const juce::String corrupt = "<TreeView lastWidth=\"300\"><cases><Case0 name=\"Gig\"";
    juce::String warning;
    const auto state = readText (temp, corrupt, warning);

    EXPECT_TRUE (warning.contains ("could not be read")) << warning;
    EXPECT_EQ (state.lastWidth, TreeViewFile::widthWithoutFile);
    EXPECT_TRUE (state.cases.empty());
    EXPECT_FALSE (temp.file ("TreeView.xml").exists()) << "nothing can write over it now";

    const auto aside = temp.get().findChildFiles (juce::File::findFiles, false, "TreeView.xml.bad-*");
    ASSERT_EQ (aside.size(), 1);
    EXPECT_EQ (aside[0].loadFileAsString(), corrupt);

    juce::String noWarning;
    bool mayOverwrite = false;
    EXPECT_EQ (TreeViewFile::read (temp.file ("missing.xml"), noWarning, mayOverwrite).lastWidth,
               TreeViewFile::widthWithoutFile);
    EXPECT_TRUE (noWarning.isEmpty());
}

TEST (TreeViewFile, aFileLargerThanTheOldLimitReadsBack)
{
    // The limit was 64 MB: a collector's cases went past it, and at the next
    // start the file "could not be read" and every case was gone.
    test::TempFolder temp;
    TreeViewFile state;
    TreeViewFile::Case everything { "Everything", {} };
    const juce::String folder = "/home/dj/Music/" + juce::String::repeatedString ("Some Long Folder Name/", 3);
    constexpr int songs = 600000;
    everything.files.ensureStorageAllocated (songs);
    for (int i = 0; i < songs; ++i)
        everything.files.add (folder + juce::String (i) + " A Song Title.mp3");
    state.cases.push_back (everything);

    juce::String error;
    const auto file = temp.file ("TreeView.xml");
    ASSERT_TRUE (state.write (file, error)) << error;
    ASSERT_GT (file.getSize(), (juce::int64) 64 << 20);

    juce::String warning;
    bool mayOverwrite = false;
    const auto back = TreeViewFile::read (file, warning, mayOverwrite);
    EXPECT_TRUE (warning.isEmpty()) << warning;
    ASSERT_EQ (back.cases.size(), 1u);
    EXPECT_EQ (back.cases[0].files.size(), songs);
    EXPECT_EQ (back.cases[0].files[songs - 1], everything.files[songs - 1]);
}
