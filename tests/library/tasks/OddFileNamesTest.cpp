// File names that are not valid UTF-8 (Latin-1 bytes from old FAT or Windows
// copies): the folder walk finds such a file, so its record, its cue points
// and the cases holding it must find it again after "database.xml" and
// "TreeView.xml" were written and read.

#include "TaskTestSupport.h"

#include "library/tasks/ConsistencyCheck.h"
#include "library/tasks/FolderScan.h"
#include "library/tree/TreeViewFile.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace zund;

namespace
{
/** A path made of raw bytes, as the folder walk reads it from the disk. */
juce::String rawPath (const std::string& bytes)
{
    return juce::String::fromUTF8 (bytes.data(), (int) bytes.size());
}

class OddFileNames : public test::DatabaseTest
{
protected:
    juce::File music = temp.file ("music");

    /** A small WAV under a name given as raw bytes; its path as the program sees it. */
    juce::String songNamed (const std::string& nameBytes)
    {
        const auto plain = test::writeSmallWav (music.getChildFile ("plain.wav"));
        const auto path = music.getFullPathName().toStdString() + "/" + nameBytes;
        EXPECT_EQ (std::rename (plain.getFullPathName().toRawUTF8(), path.c_str()), 0);
        return rawPath (path);
    }

    static std::string bytesOf (const juce::String& text) { return text.toStdString(); }
};
}

TEST_F (OddFileNames, ALatinOneNameKeepsItsRecordAndCuePointsAcrossSaveAndLoad)
{
    const auto latin = songNamed ("caf\xe9.wav");
    const auto mixed = songNamed ("%41 100% \xc3\xbc\xfc.wav"); // a "%", good UTF-8 and a stray byte
    const auto plain = songNamed ("plain \xc3\xbc.wav");
    ASSERT_TRUE (juce::File (latin).existsAsFile());

    test::RecordingProgress progress;
    FolderScan (database, music).run (progress);
    ASSERT_EQ (database.getNumEntries(), 3) << "every name is a song";
    {
        const juce::ScopedLock sl (database.getLock());
        for (const auto& path : { latin, mixed })
        {
            auto* record = database.getEntry (database.findIndex (path));
            ASSERT_NE (record, nullptr) << "the walk's own path finds the record";
            record->cuePoint[2] = 0.5f;
        }
        database.markDirty();
    }
    ASSERT_TRUE (database.save());

    // Older programs read a readable path; the bytes stand beside it.
    const auto text = temp.file ("database.xml").loadFileAsString();
    EXPECT_TRUE (text.contains ("filenameBytes=\"" + music.getFullPathName() + "/caf%E9.wav\"")) << text;
    EXPECT_TRUE (text.contains (juce::String::fromUTF8 ("caf\xef\xbf\xbd.wav\""))) << text;
    EXPECT_EQ (text.indexOf (juce::String::fromUTF8 ("plain \xc3\xbc.wav")), text.lastIndexOf (juce::String::fromUTF8 ("plain \xc3\xbc.wav")))
        << "a good name is written once";

    ID3DataBase reloaded (temp.file ("database.xml"));
    ASSERT_EQ (reloaded.getNumEntries(), 3);
    for (const auto& path : { latin, mixed })
    {
        const auto record = test::recordAt (reloaded, path);
        ASSERT_TRUE (record.has_value()) << bytesOf (path);
        EXPECT_EQ (bytesOf (record->filename), bytesOf (path)) << "byte for byte";
        EXPECT_EQ (record->cuePoint[2], 0.5f);
        EXPECT_TRUE (juce::File (record->filename).existsAsFile());
    }

    // A case holding the song still finds its record after the tree file went
    // to the disk and back.
    TreeViewFile tree;
    tree.cases.push_back ({ "Set", juce::StringArray (latin, mixed) });
    juce::String error;
    ASSERT_TRUE (tree.write (temp.file ("TreeView.xml"), error)) << error;
    bool mayOverwrite = false;
    const auto treeRead = TreeViewFile::read (temp.file ("TreeView.xml"), error, mayOverwrite);
    ASSERT_EQ (treeRead.cases.size(), 1u);
    for (const auto& path : treeRead.cases[0].files)
        EXPECT_GE (reloaded.findIndex (path), 0) << bytesOf (path);

    // The next start finds nothing missing and nothing new.
    test::RecordingProgress checking;
    ConsistencyCheck check (reloaded, { music.getFullPathName() });
    EXPECT_EQ (check.run (checking), ConsistencyCheck::Outcome::finished);
    EXPECT_EQ (reloaded.getNumMissingEntries(), 0);
    EXPECT_TRUE (check.getFilesToScan().empty());
}

TEST_F (OddFileNames, AnEscapedPathThatNoLongerMatchesItsReadableOneIsNotTaken)
{
    // An older program kept the escaped attribute but was given another path.
    ASSERT_TRUE (temp.file ("database.xml").replaceWithText (
        "<Zund2DataBase version=\"2.20\"><Entry0 filename=\"/m/other.wav\" filenameBytes=\"/m/caf%E9.wav\"/>"
        "<Entry1 filename=\"/m/x.wav\" filenameBytes=\"/m/bad%zz.wav\"/></Zund2DataBase>"));
    ID3DataBase reloaded (temp.file ("database.xml"));
    EXPECT_GE (reloaded.findIndex ("/m/other.wav"), 0);
    EXPECT_GE (reloaded.findIndex ("/m/x.wav"), 0);
    EXPECT_EQ (reloaded.getNumEntries(), 2);
}

TEST (OddFileNamesInTheTreeFile, CasesAndSongFoldersKeepTheirPathsByteForByte)
{
    test::TempFolder temp;
    TreeViewFile state;
    const auto latinFolder = rawPath (temp.get().getFullPathName().toStdString() + "/M\xfcsik");
    const auto latinSong = rawPath ("/m/caf\xe9.mp3");
    const auto goodSong = juce::String::fromUTF8 ("/m/caf\xc3\xa9 100%.mp3");
    state.songFolders.push_back ({ "Old disk", latinFolder });
    state.cases.push_back ({ "Set", juce::StringArray (goodSong, latinSong, "/m/plain.mp3") });

    juce::String error;
    ASSERT_TRUE (state.write (temp.file ("TreeView.xml"), error)) << error;
    bool mayOverwrite = false;
    const auto read = TreeViewFile::read (temp.file ("TreeView.xml"), error, mayOverwrite);
    ASSERT_EQ (read.cases.size(), 1u);
    ASSERT_EQ (read.cases[0].files.size(), 3);
    EXPECT_EQ (read.cases[0].files[0].toStdString(), goodSong.toStdString());
    EXPECT_EQ (read.cases[0].files[1].toStdString(), latinSong.toStdString()) << "byte for byte";
    EXPECT_EQ (read.cases[0].files[2], "/m/plain.mp3");
    ASSERT_EQ (read.songFolders.size(), 1u);
    EXPECT_EQ (read.songFolders[0].path.toStdString(), latinFolder.toStdString());

    // A file written before, which named the files "file<n>", keeps loading.
    ASSERT_TRUE (temp.file ("Older.xml").replaceWithText (
        "<TreeView><cases><Case0 name=\"Set\"><files file0=\"/m/a.mp3\" file1=\"/m/caf&#233;.mp3\"/></Case0></cases></TreeView>"));
    const auto older = TreeViewFile::read (temp.file ("Older.xml"), error, mayOverwrite);
    ASSERT_EQ (older.cases.size(), 1u);
    EXPECT_EQ (older.cases[0].files, juce::StringArray ("/m/a.mp3", juce::String::fromUTF8 ("/m/caf\xc3\xa9.mp3")));
}
