#include "audiofile/peaks/PeakFile.h"
#include "common/files/FileFacts.h"
#include "audiofile/peaks/PeakFileFormat.h"
#include "support/AudioFixtures.h"
#include "support/BoundedRun.h"
#include "support/Mp3Fixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

using namespace zund;

namespace
{
void waitUntilBuilt (PeakFile& peaks)
{
    while (peaks.isBuilding())
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
}

// Left: a square wave of amplitude 0.25 for the first half and 0.75 for the second;
// right: silence. 100,000 frames make columns of 100.
bool writeSquarePeakFile (const juce::File& file)
{
    return test::writeExactWav (file, 44100, 2, 16, 100000, [] (juce::int64 i, int ch) {
        const int amplitude = i < 50000 ? 8192 : 24576;
        return ch == 1 ? 0 : (i % 2 == 0 ? amplitude : -amplitude);
    });
}

struct Pair { float low, high; };
Pair peakAt (const PeakFile& p, int column) { return { p.getPeakArray()[2 * column], p.getPeakArray()[2 * column + 1] }; }
Pair averageAt (const PeakFile& p, int column) { return { p.getAverageArray()[2 * column], p.getAverageArray()[2 * column + 1] }; }

void expectColumn (const PeakFile& p, int column, float low, float high, float mean)
{
    EXPECT_FLOAT_EQ (peakAt (p, column).low, low) << "column " << column;
    EXPECT_FLOAT_EQ (peakAt (p, column).high, high) << "column " << column;
    EXPECT_FLOAT_EQ (averageAt (p, column).low, -mean) << "column " << column;
    EXPECT_FLOAT_EQ (averageAt (p, column).high, mean) << "column " << column;
}

/** Column values of the step square, as built (exact) or as read back from the
    cache (whole hundredths, truncated). */
void expectSquarePeakFile (const PeakFile& p, bool fromCache)
{
    const auto q = [fromCache] (float v) { return fromCache ? (float) (int) (v * 100.0) * 0.01f : v; };
    for (int c : { 0, 1, 250, 498 })
        expectColumn (p, c, q (-0.25f), q (0.25f), q (0.125f));
    expectColumn (p, 499, q (-0.25f), q (0.75f), q (0.1275f)); // ends on the first loud sample
    for (int c : { 500, 501, 998, 999 }) // the last, short column too
        expectColumn (p, c, q (-0.75f), q (0.75f), q (0.375f));
}

juce::int64 lastWriteTimeOf (const juce::File& file)
{
    juce::int64 time = 0, size = 0;
    getFileTimeAndSize (file, time, size);
    return time;
}

/** The step square in a temporary folder, its cache in a temporary program folder. */
class SquarePeakFile : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE (writeSquarePeakFile (wav)); }

    test::ScopedProgramFolder program;
    test::TempFolder temp;
    const juce::File wav = temp.file ("step.wav");
    const juce::File pk = PeakFile::getPeakFileFor (wav);
};
}

TEST_F (SquarePeakFile, KnownSignalGivesExactColumnsAndACacheFile)
{

    PeakFile peaks;
    peaks.load (wav);
    EXPECT_TRUE (peaks.isBuilding());
    waitUntilBuilt (peaks);
    expectSquarePeakFile (peaks, false);
    ASSERT_TRUE (pk.existsAsFile());
    EXPECT_TRUE (pk.isAChildOf (program.file ("PKFiles")));
    const auto xml = juce::XmlDocument::parse (pk);
    ASSERT_NE (xml, nullptr);
    EXPECT_TRUE (xml->hasTagName ("PeakFile"));
    EXPECT_EQ (xml->getStringAttribute ("lm_date").getLargeIntValue(), lastWriteTimeOf (wav));
    EXPECT_EQ (xml->getStringAttribute ("size").getLargeIntValue(), wav.getSize());
    const auto* wave = xml->getChildByName ("PeakWave");
    const auto* average = xml->getChildByName ("AverageWave");
    ASSERT_NE (wave, nullptr);
    ASSERT_NE (average, nullptr);
    ASSERT_EQ (wave->getNumAttributes(), 2000);
    ASSERT_EQ (average->getNumAttributes(), 2000);
    EXPECT_EQ (wave->getAttributeName (1999), "d1999");
    EXPECT_EQ (wave->getIntAttribute ("d998"), -25);
    EXPECT_EQ (wave->getIntAttribute ("d999"), 75);
    EXPECT_EQ (wave->getIntAttribute ("d1998"), -75);
    EXPECT_EQ (average->getIntAttribute ("d0"), -12);
    EXPECT_EQ (average->getIntAttribute ("d1999"), 37);
    EXPECT_TRUE (pk.loadFileAsString().containsChar ('\n'));
}

TEST_F (SquarePeakFile, SecondLoadReadsTheCacheAndTouchingRebuilds)
{
    {
        PeakFile first;
        first.load (wav);
        waitUntilBuilt (first);
    }

    PeakFile peaks;
    peaks.load (wav);
    EXPECT_FALSE (peaks.isBuilding());
    expectSquarePeakFile (peaks, true);

    // The values really come from the file: a marked value shows.
    pk.replaceWithText (pk.loadFileAsString().replace ("d0=\"-25\"", "d0=\"-99\""));
    peaks.load (wav);
    EXPECT_FALSE (peaks.isBuilding());
    EXPECT_FLOAT_EQ (peakAt (peaks, 0).low, -0.99f);

    // A newer audio file makes the cache stale.
    ASSERT_TRUE (wav.setLastModificationTime (wav.getLastModificationTime() + juce::RelativeTime::seconds (10)));
    peaks.load (wav);
    EXPECT_TRUE (peaks.isBuilding());
    waitUntilBuilt (peaks);
    expectSquarePeakFile (peaks, false);
    EXPECT_TRUE (pk.loadFileAsString().contains ("lm_date=\"" + juce::String (lastWriteTimeOf (wav)) + "\""));
}

TEST_F (SquarePeakFile, MalformedCachesAreRebuiltNeverTrusted)
{
    PeakFile peaks;
    peaks.load (wav);
    waitUntilBuilt (peaks);
    const auto good = pk.loadFileAsString();

    const auto date = juce::String (lastWriteTimeOf (wav));
    const std::vector<juce::String> bad {
        good.substring (0, good.length() / 2),                  // truncated
        good.replace ("d1999=", "x1999=").replace (" x1999=\"37\"", ""), // an attribute short
        good.replace ("d5=\"25\"", "d5=\"2500\""),              // out of range
        good.replace ("d5=\"25\"", "d5=\"abc\""),               // not a number
        good.replace ("size=\"", "sighs=\""),                   // no size
        good.replace ("size=\"", "size=\"1"),                   // another size
        good.replace ("lm_date=\"" + date, "lm_date=\"1" + date), // another date
        "<PeakFile lm_date=\"" + date + "\"/>",                 // no waves
        good.replace ("lm_date=\"" + date, "lm_date=\"-9223372036854775808"), // overflowed the framework's reader
        good.replace ("size=\"", "size=\"-9223372036854775808\" x=\""),
        juce::String::repeatedString ("garbage ", 100),
        {},
        // Each of these hung or crashed the framework's parser.
        "<PeakFile lm_date=\"" + date + "\"><?pi?>x</PeakFile>",
        "<!DOCTYPE x SYSTEM \"/dev/zero\"><PeakFile lm_date=\"" + date + "\">&e;</PeakFile>",
        juce::String::repeatedString ("<PeakFile>", 50000) + juce::String::repeatedString ("</PeakFile>", 50000),
        good.replace ("<PeakWave", "<PeakWave><AverageWave/></PeakWave><PeakWave"), // deeper than a cache goes
    };
    for (size_t i = 0; i < bad.size(); ++i)
    {
        SCOPED_TRACE (i);
        ASSERT_TRUE (pk.replaceWithText (bad[i]));
        float values[PeakFileFormat::numValues];
        test::finishWithin (10.0, "reading a damaged cache", [&] {
            EXPECT_FALSE (PeakFileFormat::read (pk, lastWriteTimeOf (wav), wav.getSize(), values, values));
        });
        peaks.load (wav);
        EXPECT_TRUE (peaks.isBuilding());
        waitUntilBuilt (peaks);
        expectSquarePeakFile (peaks, false);
        EXPECT_EQ (pk.loadFileAsString(), good); // rewritten whole
    }
}

TEST (PeakFile, ShortTracksStayInRange)
{
    test::ScopedProgramFolder program;
    test::TempFolder temp;
    const auto wav = temp.file ("short.wav");
    ASSERT_TRUE (test::writeExactWav (wav, 44100, 1, 16, 500, [] (juce::int64 i, int) { return i % 2 == 0 ? 32767 : -32768; }));
    PeakFile peaks;
    peaks.load (wav);
    waitUntilBuilt (peaks);

    for (int c = 0; c < 500; ++c)
    {
        // One sample per column: full scale on both sides of a mono track.
        const float v = c % 2 == 0 ? 32767.0f / 32768.0f : -1.0f;
        ASSERT_FLOAT_EQ (peakAt (peaks, c).low, std::min (v, 0.0f)) << c;
        ASSERT_FLOAT_EQ (peakAt (peaks, c).high, std::max (v, 0.0f)) << c;
        ASSERT_FLOAT_EQ (averageAt (peaks, c).high, std::abs (v)) << c;
    }
    for (int i = 1000; i < PeakFile::arraySize; ++i)
    {
        ASSERT_EQ (peaks.getPeakArray()[i], 0.0f) << i;
        ASSERT_EQ (peaks.getAverageArray()[i], 0.0f) << i;
    }
}

TEST (PeakFile, LoudAndDamagedFloatTrackGetsACacheThatHolds)
{
    test::ScopedProgramFolder program;
    test::TempFolder temp;
    const auto wav = temp.file ("loud.wav");
    // Left: a square of amplitude 1.5, with a NaN in column 2 and a wild sample in
    // column 500; right: silence. 100,000 frames make columns of 100.
    ASSERT_TRUE (test::writeAudioFile (wav, test::FileKind::wav, 44100, 2, 32, 100000, [] (juce::int64 i, int ch) {
        if (ch == 1)
            return 0.0f;
        if (i == 250)
            return std::numeric_limits<float>::quiet_NaN();
        if (i == 50050)
            return -1.0e30f;
        return i % 2 == 0 ? 1.5f : -1.5f;
    }));

    {
        PeakFile first;
        first.load (wav);
        waitUntilBuilt (first);
        for (int i = 0; i < PeakFile::arraySize; ++i)
        {
            ASSERT_TRUE (std::isfinite (first.getPeakArray()[i].load())) << i;
            ASSERT_TRUE (std::isfinite (first.getAverageArray()[i].load())) << i;
        }
        EXPECT_GE (peakAt (first, 0).high, 1.0f);
        EXPECT_FLOAT_EQ (averageAt (first, 2).high, 1.5f * 99 / 100 * 0.5f); // the NaN counts as silence
    }

    const auto pk = PeakFile::getPeakFileFor (wav);
    ASSERT_TRUE (pk.existsAsFile());
    const auto xml = juce::XmlDocument::parse (pk);
    ASSERT_NE (xml, nullptr);
    for (auto* wave : { xml->getChildByName ("PeakWave"), xml->getChildByName ("AverageWave") })
    {
        ASSERT_NE (wave, nullptr);
        ASSERT_EQ (wave->getNumAttributes(), PeakFile::arraySize);
        for (int i = 0; i < PeakFile::arraySize; ++i)
        {
            const int value = wave->getAttributeValue (i).getIntValue();
            ASSERT_TRUE (value >= -100 && value <= 100) << i << ": " << value;
        }
    }

    // The second load takes the cache as it is: no rebuild.
    PeakFile peaks;
    peaks.load (wav);
    EXPECT_FALSE (peaks.isBuilding());
    for (int i = 0; i < PeakFile::arraySize; ++i)
    {
        ASSERT_TRUE (peaks.getPeakArray()[i] >= -1.0f && peaks.getPeakArray()[i] <= 1.0f) << i;
        ASSERT_TRUE (peaks.getAverageArray()[i] >= -1.0f && peaks.getAverageArray()[i] <= 1.0f) << i;
    }
    expectColumn (peaks, 0, -1.0f, 1.0f, 0.75f);
    expectColumn (peaks, 2, -1.0f, 1.0f, 0.74f);
    expectColumn (peaks, 500, -1.0f, 1.0f, 1.0f);
}

TEST (PeakFile, Mp3BuildWaitsForItsScan)
{
    test::ScopedProgramFolder program;
    test::TempFolder temp;
    const auto mp3 = temp.file ("song.mp3");
    ASSERT_TRUE (test::writeMp3 (mp3, 44100, 2, 44100 * 20, test::sineSignal (440.0, 44100.0, 0.5f), { "-b", "192" }));

    PeakFile peaks;
    peaks.load (mp3);
    EXPECT_TRUE (peaks.isBuilding());
    waitUntilBuilt (peaks);
    EXPECT_TRUE (PeakFile::getPeakFileFor (mp3).existsAsFile());

    // A build that had not waited would have seen no length and silence. The first
    // columns hold the silent Info frame and the encoder's delay; the rest the sine.
    for (int c = 5; c < PeakFile::numColumns - 5; ++c)
    {
        ASSERT_NEAR (peakAt (peaks, c).high, 0.5f, 0.02f) << c;
        ASSERT_NEAR (peakAt (peaks, c).low, -0.5f, 0.02f) << c;
        // Mean of |sine|; a column of 8.8 periods is off by up to a part period.
        ASSERT_NEAR (averageAt (peaks, c).high, 0.5f * 2.0f / juce::MathConstants<float>::pi, 0.02f) << c;
    }
}

TEST (PeakFile, DeletedMidBuildWritesNoFile)
{
    test::ScopedProgramFolder program;
    test::TempFolder temp;
    const auto song = temp.file ("song.mp3");
    const auto big = temp.file ("long.mp3");
    ASSERT_TRUE (test::writeMp3 (song, 44100, 2, 44100 * 8, test::richSignal (44100), { "-b", "128" }));
    ASSERT_TRUE (test::writeRepeatedMp3 (song, big, 300)); // some 40 minutes

    {
        // Gone while still waiting for the long scan.
        PeakFile peaks;
        peaks.load (big);
        EXPECT_TRUE (peaks.isBuilding());
    }
    EXPECT_FALSE (PeakFile::getPeakFileFor (big).existsAsFile());

    {
        PeakFile peaks;
        peaks.load (big);
        // Wait until the build has filled its first columns, then go.
        while (peaks.getPeakArray()[5] == 0.0f)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (2);
        EXPECT_TRUE (peaks.isBuilding());
    }
    EXPECT_FALSE (PeakFile::getPeakFileFor (big).existsAsFile());
    EXPECT_EQ (PeakFile::getPeakFileFor (big).getParentDirectory().getNumberOfChildFiles (juce::File::findFiles), 0);
}

TEST (PeakFile, PathMappingRoundTrips)
{
    test::ScopedProgramFolder program;
    for (auto path : { "/music/a.mp3", "/home/dj/My Songs/\xc3\xbc b/track (1).MP3", "/x/c:d.wav", "/a.ogg" })
    {
        const juce::File audio { juce::String (juce::CharPointer_UTF8 (path)) };
        const auto pk = PeakFile::getPeakFileFor (audio);
        EXPECT_EQ (pk.getFullPathName(), program.get().getFullPathName() + "/PKFiles" + audio.getFullPathName() + ".pk");
        EXPECT_EQ (PeakFile::getAudioFileForPeakFile (pk), audio);
    }
    // Dot segments cannot lead out of the cache folder.
    EXPECT_TRUE (PeakFile::getPeakFileFor (juce::File ("/../../etc/x.mp3")).isAChildOf (program.file ("PKFiles")));

    EXPECT_EQ (PeakFile::getAudioFileForPeakFile (program.file ("elsewhere/a.mp3.pk")), juce::File());
    EXPECT_EQ (PeakFile::getAudioFileForPeakFile (program.file ("PKFiles/a.mp3")), juce::File());
}

TEST_F (SquarePeakFile, RegistryKnowsWhichFilesAreHeld)
{
    const auto other = temp.file ("Step.wav");

    EXPECT_FALSE (PeakFile::isBusyWithFile (wav));
    {
        PeakFile peaks;
        peaks.load (wav);
        EXPECT_TRUE (PeakFile::isBusyWithFile (wav));
        waitUntilBuilt (peaks);
        EXPECT_TRUE (PeakFile::isBusyWithFile (wav)); // held while shown, not only while building
        EXPECT_FALSE (PeakFile::isBusyWithFile (other));

        // A track that cannot be opened leaves the arrays as they were.
        peaks.load (temp.file ("missing.wav"));
        EXPECT_FALSE (peaks.isBuilding());
        expectSquarePeakFile (peaks, false);
        EXPECT_FALSE (PeakFile::isBusyWithFile (wav));
    }
    EXPECT_FALSE (PeakFile::isBusyWithFile (temp.file ("missing.wav")));
}
