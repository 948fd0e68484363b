// A DJ's music folders are often links: to another disk, to a shared folder,
// now and then back up the tree.

#include "common/files/FileFacts.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace zund;

namespace
{
bool link (const juce::File& target, const juce::File& linkFile)
{
    return ::symlink (target.getFullPathName().toRawUTF8(), linkFile.getFullPathName().toRawUTF8()) == 0;
}

juce::String sortedNames (const std::vector<juce::File>& files)
{
    juce::StringArray names;
    for (const auto& f : files)
        names.add (f.getFileName());
    names.sort (false);
    return names.joinIntoString (",");
}
}

TEST (FolderLinks, LinkedFoldersAreListedOnceAndCyclesEnd)
{
    test::TempFolder temp;
    const auto disk = temp.file ("disk"), music = temp.file ("music");
    disk.getChildFile ("house").createDirectory();
    disk.getChildFile ("house/a.mp3").replaceWithText ("a");
    music.createDirectory();
    music.getChildFile ("b.wav").replaceWithText ("b");
    ASSERT_TRUE (link (disk.getChildFile ("house"), music.getChildFile ("house")));  // another disk
    ASSERT_TRUE (link (disk.getChildFile ("house"), music.getChildFile ("again")));  // the same folder twice
    ASSERT_TRUE (link (music, disk.getChildFile ("house/up")));                       // back up the tree
    ASSERT_TRUE (link (music, temp.file ("musicLink")));                              // the folder itself a link

    EXPECT_EQ (sortedNames (*listFilesInFolder (music, true)), "a.mp3,b.wav");
    EXPECT_EQ (sortedNames (*listFilesInFolder (temp.file ("musicLink"), true)), "a.mp3,b.wav");
    EXPECT_EQ (sortedNames (*listFilesInFolder (music, false)), "b.wav");
}
