#include "common/files/AudioFileTypes.h"
#include "common/files/FileFacts.h"
#include "common/files/ProgramFolder.h"
#include "common/audio/SampleConversion.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace zund;

TEST (SupportedAudioFiles, ExtensionsInAnyCaseAndNoDirectories)
{
    for (auto ext : { ".mp3", ".wav", ".aiff", ".aif", ".ogg", ".MP3", ".Wav", ".AIFF", ".oGg" })
        EXPECT_TRUE (isSupportedAudioExtension (ext)) << ext;
    for (auto ext : { ".flac", ".m4a", "", ".", "wav", ".wav ", ".mp3.bak" })
        EXPECT_FALSE (isSupportedAudioExtension (ext)) << ext;

    test::TempFolder temp;
    ASSERT_TRUE (temp.file ("x.wav").createDirectory());
    EXPECT_FALSE (isSupportedAudioFile (temp.file ("x.wav")));
    EXPECT_TRUE (isSupportedAudioFile (temp.file ("missing.Mp3"))); // existence is not asked
    EXPECT_FALSE (isSupportedAudioFile (temp.file ("song.flac")));
}

TEST (FileTimeAndSize, TicksSince1601AndBytes)
{
    test::TempFolder temp;
    const auto file = temp.file ("facts.bin");
    ASSERT_TRUE (file.replaceWithText ("0123456789"));
    ASSERT_TRUE (file.setLastModificationTime (juce::Time (2020, 0, 2, 3, 4, 5, 0, false)));
    juce::int64 time = -1, size = -1;
    ASSERT_TRUE (getFileTimeAndSize (file, time, size));
    EXPECT_EQ (size, 10);
    EXPECT_EQ (time, 132224078450000000LL); // 2020-01-02T03:04:05Z as a Windows file time

    // A missing file or a folder leaves the outputs alone.
    EXPECT_FALSE (getFileTimeAndSize (temp.file ("none"), time, size));
    EXPECT_FALSE (getFileTimeAndSize (temp.get(), time, size));
    EXPECT_EQ (size, 10);
}

TEST (ExclusiveOpen, FalseWhileAnotherHolderLocksTheFile)
{
    test::TempFolder temp;
    const auto file = temp.file ("tagged.mp3");
    ASSERT_TRUE (file.replaceWithText ("x"));
    EXPECT_FALSE (canOpenFileExclusively (temp.file ("missing.mp3")));

    const int before = test::countOpenFileDescriptors();
    EXPECT_TRUE (canOpenFileExclusively (file));
    EXPECT_EQ (test::countOpenFileDescriptors(), before);

    // Another open file description holding the lock (as another process would).
    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDWR);
    ASSERT_GE (fd, 0);
    ASSERT_EQ (::flock (fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE (canOpenFileExclusively (file));
    ::close (fd);
    EXPECT_TRUE (canOpenFileExclusively (file));

    file.setReadOnly (true);
    if (::geteuid() != 0) // root may write anyway
    {
        EXPECT_FALSE (canOpenFileExclusively (file));
    }
}

TEST (PathHash, NeverNegativeAndStable)
{
    for (int i = 0; i < 5000; ++i)
    {
        const juce::String path = "/music/track" + juce::String (i * 7919) + ".mp3";
        const int h = getPathHash (path);
        EXPECT_GE (h, 0);
        EXPECT_EQ (h, getPathHash (juce::String (path)));
    }
}

TEST (ProgramFolder, NamesFilesInsideTheFolder)
{
    {
        test::ScopedProgramFolder folder;
        EXPECT_EQ (getApplicationFolderFile ("preferences.xml"), folder.file ("preferences.xml"));
        EXPECT_EQ (getApplicationFolderFile ("gfx/knob.png"),
                   folder.get().getChildFile ("gfx").getChildFile ("knob.png"));
        EXPECT_TRUE (getApplicationFolderFile ("PKFiles/x.pk").isAChildOf (folder.get()));
    }
    const auto exeFolder = juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory();
    EXPECT_EQ (getApplicationFolderFile ("database.xml"), exeFolder.getChildFile ("database.xml"));
}

TEST (ListFilesInFolder, FlatAndRecursive)
{
    test::TempFolder temp;
    temp.file ("a.wav").replaceWithText ("a");
    temp.file ("sub").createDirectory();
    temp.file ("sub/b.mp3").replaceWithText ("b");
    temp.file ("sub/deeper").createDirectory();
    temp.file ("sub/deeper/c.ogg").replaceWithText ("c");

    auto flat = listFilesInFolder (temp.get(), false);
    ASSERT_EQ (flat->size(), 1u);
    EXPECT_EQ ((*flat)[0].getFileName(), "a.wav");

    auto all = listFilesInFolder (temp.get(), true);
    juce::StringArray names;
    for (const auto& f : *all)
        names.add (f.getFileName());
    names.sort (false);
    EXPECT_EQ (names.joinIntoString (","), "a.wav,b.mp3,c.ogg");

    EXPECT_TRUE (listFilesInFolder (temp.file ("missing"), true)->empty());
}

TEST (ListFilesInFolder, SymlinkCycleEnds)
{
    test::TempFolder temp;
    temp.file ("sub").createDirectory();
    temp.file ("sub/song.wav").replaceWithText ("x");
    ASSERT_EQ (::symlink (temp.get().getFullPathName().toRawUTF8(),
                          temp.file ("sub/loop").getFullPathName().toRawUTF8()), 0);

    auto all = listFilesInFolder (temp.get(), true);
    ASSERT_EQ (all->size(), 1u);
    EXPECT_EQ ((*all)[0].getFileName(), "song.wav");
}

TEST (SampleConversion, FullScaleIntegersMapToUnitFloats)
{
    int left[7] = { 0, 0x7fffffff, (int) 0x80000000, 0x40000000, -0x40000000, 1, -1 };
    int right[7] = { 0x20000000, 0, 0, 0, 0, 0, 0 };
    convertIntSamplesToFloat (left, right, 7);

    auto asFloat = [] (int bits) {
        float f;
        std::memcpy (&f, &bits, sizeof f);
        return f;
    };
    EXPECT_EQ (asFloat (left[0]), 0.0f);
    EXPECT_FLOAT_EQ (asFloat (left[1]), 1.0f);
    EXPECT_FLOAT_EQ (asFloat (left[2]), -1.0f);
    EXPECT_FLOAT_EQ (asFloat (left[3]), 0.5f);
    EXPECT_FLOAT_EQ (asFloat (left[4]), -0.5f);
    EXPECT_GT (asFloat (left[5]), 0.0f);
    EXPECT_LT (asFloat (left[6]), 0.0f);
    EXPECT_FLOAT_EQ (asFloat (right[0]), 0.25f);
}

TEST (SampleConversion, FloatSamplesAreTamedInPlace)
{
    const float values[5] = { 0.5f, -1.5f, std::numeric_limits<float>::quiet_NaN(),
                              -std::numeric_limits<float>::infinity(), 3.0e38f };
    int left[5], right[5];
    std::memcpy (left, values, sizeof left);
    std::memcpy (right, values, sizeof right);
    tameFloatSamples (left, right, 5);

    // Ordinary samples, even beyond full scale, are kept; garbage is silenced or held at +60 dB.
    const float expected[5] = { 0.5f, -1.5f, 0.0f, 0.0f, 1000.0f };
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ (convertedSampleAt (left, i), expected[i]) << i;
        EXPECT_EQ (convertedSampleAt (right, i), expected[i]) << i;
    }
}
