#include "audiofile/AudioReaderFactory.h"
#include "support/AudioFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace zund;

TEST (AudioReaderFactory, OpensEachFormatByExtension)
{
    test::TempFolder temp;
    const auto sine = test::sineSignal (440.0, 44100.0, 0.5f);
    ASSERT_TRUE (test::writeAudioFile (temp.file ("a.wav"), test::FileKind::wav, 44100, 2, 16, 1000, sine));
    ASSERT_TRUE (test::writeAudioFile (temp.file ("b.aiff"), test::FileKind::aiff, 48000, 1, 24, 1000, sine));
    ASSERT_TRUE (test::writeAudioFile (temp.file ("c.ogg"), test::FileKind::ogg, 44100, 2, 16, 44100, sine));
    temp.file ("b.aiff").copyFileTo (temp.file ("d.AIF"));
    temp.file ("a.wav").copyFileTo (temp.file ("e.WAV"));

    struct Expect { const char* name; const char* format; double rate; unsigned channels; };
    for (const auto& e : { Expect { "a.wav", "WAV file", 44100, 2 }, Expect { "b.aiff", "AIFF file", 48000, 1 },
                           Expect { "c.ogg", "Ogg-Vorbis file", 44100, 2 }, Expect { "d.AIF", "AIFF file", 48000, 1 },
                           Expect { "e.WAV", "WAV file", 44100, 2 } })
    {
        auto reader = createAudioReader (temp.file (e.name));
        ASSERT_NE (reader, nullptr) << e.name;
        EXPECT_EQ (reader->getFormatName(), e.format);
        EXPECT_EQ (reader->sampleRate, e.rate);
        EXPECT_EQ (reader->numChannels, e.channels);
        EXPECT_FALSE (isMp3ScanRunning (reader.get()));
    }
}

TEST (AudioReaderFactory, RejectsWithoutLeakingDescriptors)
{
    test::TempFolder temp;
    const auto sine = test::sineSignal (440.0, 44100.0, 0.5f);
    ASSERT_TRUE (test::writeAudioFile (temp.file ("good.wav"), test::FileKind::wav, 44100, 2, 16, 1000, sine));
    temp.file ("good.wav").copyFileTo (temp.file ("song.flac"));
    temp.file ("good.wav").copyFileTo (temp.file ("noext"));
    temp.file ("x.wav").createDirectory();
    temp.file ("empty.wav").create();

    juce::Random random (1234);
    juce::MemoryBlock junk (20000);
    random.fillBitsRandomly (junk.getData(), junk.getSize());
    temp.file ("random.wav").replaceWithData (junk.getData(), junk.getSize());
    temp.file ("random.ogg").replaceWithData (junk.getData(), junk.getSize());
    temp.file ("random.aiff").replaceWithData (junk.getData(), junk.getSize());

    // A header that promises more data than the file has.
    juce::MemoryBlock whole;
    temp.file ("good.wav").loadFileAsData (whole);
    temp.file ("truncated.wav").replaceWithData (whole.getData(), 30);

    const int before = test::countOpenFileDescriptors();
    for (auto name : { "missing.wav", "song.flac", "noext", "x.wav", "empty.wav", "random.wav", "random.ogg",
                       "random.aiff", "truncated.wav" })
        EXPECT_EQ (createAudioReader (temp.file (name)), nullptr) << name;
    EXPECT_EQ (test::countOpenFileDescriptors(), before);
}

TEST (AudioReaderFactory, ReaderOwnsItsStreamUntilDeleted)
{
    test::TempFolder temp;
    ASSERT_TRUE (test::writeAudioFile (temp.file ("a.wav"), test::FileKind::wav, 44100, 2, 16, 1000,
                                       test::sineSignal (440.0, 44100.0, 0.5f)));
    const int before = test::countOpenFileDescriptors();
    {
        auto reader = createAudioReader (temp.file ("a.wav"));
        ASSERT_NE (reader, nullptr);
        EXPECT_EQ (test::countOpenFileDescriptors(), before + 1);
    }
    EXPECT_EQ (test::countOpenFileDescriptors(), before);
}
