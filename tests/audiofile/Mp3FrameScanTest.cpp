#include "audiofile/AudioReaderFactory.h"
#include "audiofile/mp3/MP3AudioFormat.h"
#include "audiofile/mp3/MP3Reader.h"
#include "audiofile/mp3/Mp3FileInfo.h"
#include "audiofile/mp3/Mp3FrameHeader.h"
#include "support/Mp3Fixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
// MPEG-1 Layer III, 128 kbps, 44.1 kHz, joint stereo: 417 bytes, 418 padded.
constexpr juce::uint8 layer3 = 0xfb, rate128 = 0x90, padded = 0x02, stereo = 0x40;

juce::MemoryBlock layer3Frames (int count, int firstPadded = 0)
{
    juce::MemoryBlock stream;
    for (int i = 0; i < count; ++i)
    {
        const bool pad = (i + firstPadded) % 3 != 0; // mixed, like an encoder's
        stream.append (test::makeMpegFrame (layer3, (juce::uint8) (rate128 | (pad ? padded : 0)), stereo,
                                            pad ? 418 : 417).getData(),
                       pad ? 418 : 417);
    }
    return stream;
}

juce::MemoryBlock junk (int size, juce::uint8 fill = 0x41)
{
    juce::MemoryBlock block ((size_t) size);
    block.fillWith (fill);
    return block;
}

/** An ID3v2 tag with a body of `bodySize` zero bytes (syncsafe size) that begins
    with `inside`; the footer follows when flagged. */
juce::MemoryBlock id3Tag (int bodySize, bool footer, const juce::MemoryBlock& inside = {})
{
    const juce::uint8 header[10] = { 'I', 'D', '3', (juce::uint8) (footer ? 4 : 3), 0, (juce::uint8) (footer ? 0x10 : 0),
                                     (juce::uint8) ((bodySize >> 21) & 0x7f), (juce::uint8) ((bodySize >> 14) & 0x7f),
                                     (juce::uint8) ((bodySize >> 7) & 0x7f), (juce::uint8) (bodySize & 0x7f) };
    juce::MemoryBlock tag (header, sizeof (header));
    auto body = junk (bodySize, 0);
    body.copyFrom (inside.getData(), 0, std::min (inside.getSize(), (size_t) bodySize));
    tag.append (body.getData(), body.getSize());
    if (footer)
    {
        tag.append (header, sizeof (header));
        static_cast<char*> (tag.getData())[tag.getSize() - 10] = '3'; // "3DI"
    }
    return tag;
}

/** Three MPEG-2.5 Layer III frames, 8 kbps at 8 kHz: a clip that decodes on its own. */
juce::MemoryBlock clip()
{
    juce::MemoryBlock frames;
    for (int i = 0; i < 3; ++i)
        frames.append (test::makeMpegFrame (0xe3, 0x18, 0xc0, 72).getData(), 72);
    return frames;
}

juce::int64 syncOf (const juce::MemoryBlock& data)
{
    juce::MemoryInputStream stream (data, false);
    return findFirstMp3Sync (stream, nullptr);
}

std::unique_ptr<MP3Reader> scannedReader (const juce::File& file)
{
    std::unique_ptr<MP3Reader> reader (dynamic_cast<MP3Reader*> (createAudioReader (file).release()));
    if (reader != nullptr)
        while (reader->isScanning())
            juce::Thread::sleep (2);
    return reader;
}

struct Parsed { int length, spf, kbps, rate; };

Parsed parse (juce::uint8 b1, juce::uint8 b2, juce::uint8 b3)
{
    const juce::uint8 bytes[4] = { 0xff, b1, b2, b3 };
    Parsed p {};
    p.length = parseMp3FrameHeader (bytes, p.spf, p.kbps, p.rate);
    return p;
}
}

TEST (Mp3FrameHeader, LengthsOfEveryLayerAndVersion)
{
    struct Case { juce::uint8 b1, b2, b3; int length, spf, kbps, rate; };
    const Case cases[] = {
        { 0xfb, 0x90, 0x40, 417, 1152, 128, 44100 },  // MPEG-1 Layer III
        { 0xfb, 0x92, 0x40, 418, 1152, 128, 44100 },  // padded
        { 0xfb, 0x94, 0x40, 384, 1152, 128, 48000 },
        { 0xfb, 0xe8, 0x40, 1440, 1152, 320, 32000 },
        { 0xf3, 0x80, 0xc0, 208, 576, 64, 22050 },    // MPEG-2 Layer III
        { 0xf3, 0x82, 0xc0, 209, 576, 64, 22050 },
        { 0xe3, 0x18, 0xc0, 72, 576, 8, 8000 },       // MPEG-2.5 Layer III
        { 0xfd, 0xa4, 0x00, 576, 1152, 192, 48000 },  // MPEG-1 Layer II
        { 0xf5, 0xe0, 0x00, 1044, 1152, 160, 22050 },  // MPEG-2 Layer II
        { 0xff, 0x40, 0xc0, 136, 384, 128, 44100 },   // MPEG-1 Layer I: 34 slots of 4 bytes
        { 0xff, 0x42, 0xc0, 140, 384, 128, 44100 },   // its padding is a whole slot
        { 0xff, 0xe4, 0x00, 448, 384, 448, 48000 },
        { 0xf7, 0xe0, 0x00, 556, 384, 256, 22050 },   // MPEG-2 Layer I
    };
    for (const auto& c : cases)
    {
        const auto p = parse (c.b1, c.b2, c.b3);
        EXPECT_EQ (p.length, c.length) << std::hex << (int) c.b1 << " " << (int) c.b2;
        EXPECT_EQ (p.spf, c.spf);
        EXPECT_EQ (p.kbps, c.kbps);
        EXPECT_EQ (p.rate, c.rate);
    }
}

TEST (Mp3FrameHeader, RejectsInvalidHeaders)
{
    struct Case { juce::uint8 b0, b1, b2, b3; };
    const Case cases[] = {
        { 0xfe, 0xfb, 0x90, 0x40 }, // no sync
        { 0xff, 0xdb, 0x90, 0x40 }, // sync bits incomplete
        { 0xff, 0xeb, 0x90, 0x40 }, // reserved version
        { 0xff, 0xf9, 0x90, 0x40 }, // reserved layer
        { 0xff, 0xfb, 0x00, 0x40 }, // free format
        { 0xff, 0xfb, 0xf0, 0x40 }, // bad bitrate
        { 0xff, 0xfb, 0x9c, 0x40 }, // reserved sample rate
        { 0xff, 0xfd, 0x10, 0x00 }, // Layer II 32 kbps stereo
        { 0xff, 0xfd, 0x50, 0x80 }, // Layer II 80 kbps dual channel
        { 0xff, 0xfd, 0xb0, 0xc0 }, // Layer II 224 kbps mono
    };
    for (const auto& c : cases)
    {
        const juce::uint8 bytes[4] = { c.b0, c.b1, c.b2, c.b3 };
        int spf = -7, kbps = -7, rate = -7;
        EXPECT_EQ (parseMp3FrameHeader (bytes, spf, kbps, rate), 0) << std::hex << (int) c.b1 << " " << (int) c.b2;
    }
    // The Layer II pairs the standard allows.
    EXPECT_GT (parse (0xfd, 0x10, 0xc0).length, 0);
    EXPECT_GT (parse (0xfd, 0xb0, 0x00).length, 0);
    EXPECT_GT (parse (0xfd, 0x40, 0x00).length, 0);
}

TEST (Mp3FirstSync, TakesOnlyThreeChainedHeaders)
{
    // A header alone, and two chained headers without a third, sit in tag-like junk.
    juce::MemoryBlock data = junk (300);
    data.append (test::makeMpegFrame (layer3, rate128, stereo, 417).getData(), 4);
    data.append (junk (500).getData(), 500);
    const auto fakeStart = (int) data.getSize();
    data.append (layer3Frames (2).getData(), 417 + 418);
    data.append (junk (700, 0xff).getData(), 700); // 0xff runs, but no header follows
    const auto realStart = (int) data.getSize();
    data.append (layer3Frames (3).getData(), 417 + 418 + 418);

    EXPECT_GT (realStart, fakeStart);
    EXPECT_EQ (syncOf (data), realStart);

    EXPECT_EQ (syncOf (junk (1200000)), -1);
    EXPECT_EQ (syncOf (layer3Frames (2)), -1);
    EXPECT_EQ (syncOf ({}), -1);
}

TEST (Mp3FirstSync, StartsAfterTheLeadingId3Tags)
{
    const auto song = layer3Frames (3);
    auto withSong = [&song] (juce::MemoryBlock data) {
        data.append (song.getData(), song.getSize());
        return data;
    };
    auto joined = [] (juce::MemoryBlock a, const juce::MemoryBlock& b) {
        a.append (b.getData(), b.getSize());
        return a;
    };
    const auto v23 = id3Tag (1000, false, clip());
    const auto v24 = id3Tag (300, true, clip());
    auto notSyncsafe = id3Tag (1000, false, clip());
    static_cast<juce::uint8*> (notSyncsafe.getData())[8] = 0x80;

    struct Case { const char* what; juce::MemoryBlock data; juce::int64 sync; };
    const Case cases[] = {
        { "v2.3 tag", withSong (v23), 1010 },
        { "v2.4 tag with a footer", withSong (v24), 320 },
        { "two tags", withSong (joined (v24, v23)), 1330 },
        { "a size that is not syncsafe: no tag", withSong (notSyncsafe), 10 },
        { "a tag cut off by a short copy", juce::MemoryBlock (id3Tag (100000, false, clip()).getData(), 300), -1 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (syncOf (c.data), c.sync) << c.what;
}

TEST (Mp3FirstSync, FoundAcrossTheSearchBufferRefill)
{
    for (int start : { 499990, 500000, 1499000 })
    {
        auto data = junk (start);
        data.append (layer3Frames (3).getData(), 417 + 418 + 418);
        EXPECT_EQ (syncOf (data), start);
    }
}

TEST (Mp3FrameTable, WalksPaddedAndUnpaddedFramesAcrossRefills)
{
    test::TempFolder temp;
    const auto file = temp.file ("frames.mp3");
    auto data = junk (1000); // a tag-like lead-in
    const auto frames = layer3Frames (3000); // about 1.2 MiB: the walk refills its buffer
    data.append (frames.getData(), frames.getSize());
    ASSERT_TRUE (file.replaceWithData (data.getData(), data.getSize()));

    const auto reader = scannedReader (file);
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->sampleRate, 44100.0);
    EXPECT_EQ (reader->getNumFrames(), 3000);
    EXPECT_EQ (reader->lengthInSamples, 2999 * 1152);
    EXPECT_EQ (reader->getKbps(), 128);
    EXPECT_FALSE (isMp3ScanRunning (reader.get()));
}

TEST (Mp3FrameTable, AClipInsideATagIsNotTheSong)
{
    test::TempFolder temp;
    const auto song = temp.file ("song.mp3");
    ASSERT_TRUE (test::writeMp3 (song, 44100, 2, 44100, test::richSignal (44100), { "-b", "128" }));
    juce::MemoryBlock tagged = id3Tag (4096, false, clip());
    juce::MemoryBlock songData;
    ASSERT_TRUE (song.loadFileAsData (songData));
    tagged.append (songData.getData(), songData.getSize());
    ASSERT_TRUE (temp.file ("tagged.mp3").replaceWithData (tagged.getData(), tagged.getSize()));

    const auto plain = scannedReader (song);
    const auto reader = scannedReader (temp.file ("tagged.mp3"));
    ASSERT_NE (plain, nullptr);
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->sampleRate, 44100.0);
    EXPECT_EQ (reader->lengthInSamples, plain->lengthInSamples);

    int kbps = 0, rate = 0, seconds = -1;
    ASSERT_TRUE (getMp3FileInfo (temp.file ("tagged.mp3"), kbps, rate, seconds));
    EXPECT_EQ (rate, 44100);
    EXPECT_EQ (kbps, 128);
}

TEST (Mp3FrameTable, BadHeaderEndsTheTable)
{
    test::TempFolder temp;
    const auto file = temp.file ("broken.mp3");
    auto data = layer3Frames (1500);
    auto* bytes = static_cast<juce::uint8*> (data.getData());
    // Frame 1000 starts after 1000 frames, a third of them unpadded.
    const int offset = 1000 * 418 - 334;
    ASSERT_EQ (bytes[offset], 0xff);
    bytes[offset + 2] = 0xf0; // bad bitrate
    ASSERT_TRUE (file.replaceWithData (data.getData(), data.getSize()));

    const auto reader = scannedReader (file);
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->getNumFrames(), 1000);
    EXPECT_EQ (reader->lengthInSamples, 999 * 1152);

    // Past the end of the table there is only silence.
    std::vector<int> left (2000, 12345), right (2000, 12345);
    int* dest[2] = { left.data(), right.data() };
    EXPECT_FALSE (reader->read (dest, 2, 999 * 1152, 2000, false));
    EXPECT_EQ (std::count (left.begin(), left.end(), 0), 2000);
    EXPECT_EQ (std::count (right.begin(), right.end(), 0), 2000);
}

TEST (Mp3FrameTable, FilesWithoutFramesGiveNoReader)
{
    test::TempFolder temp;
    juce::MemoryBlock noise (300000);
    juce::Random (99).fillBitsRandomly (noise.getData(), noise.getSize());
    auto* bytes = static_cast<juce::uint8*> (noise.getData());
    for (size_t i = 0; i < noise.getSize(); ++i)
        if (bytes[i] == 0xff)
            bytes[i] = 0xfe; // no sync byte at all
    temp.file ("noise.mp3").replaceWithData (noise.getData(), noise.getSize());
    temp.file ("empty.mp3").create();

    // Layer II at 32 kbps in stereo is not a valid stream.
    juce::MemoryBlock badLayer2;
    for (int i = 0; i < 50; ++i)
        badLayer2.append (test::makeMpegFrame (0xfd, 0x10, 0x00, 104).getData(), 104);
    temp.file ("layer2.mp3").replaceWithData (badLayer2.getData(), badLayer2.getSize());

    const int before = test::countOpenFileDescriptors();
    for (auto name : { "noise.mp3", "empty.mp3", "layer2.mp3", "missing.mp3" })
    {
        EXPECT_EQ (createAudioReader (temp.file (name)), nullptr) << name;
        int kbps = 0, rate = 0, seconds = 0;
        EXPECT_FALSE (getMp3FileInfo (temp.file (name), kbps, rate, seconds)) << name;
    }
    EXPECT_EQ (test::countOpenFileDescriptors(), before);
}

TEST (Mp3FrameTable, OnlyFileStreamsAreScanned)
{
    auto data = layer3Frames (50);
    MP3AudioFormat format;
    auto* stream = new juce::MemoryInputStream (data, false);
    EXPECT_EQ (format.createReaderFor (stream, false), nullptr);
    delete stream; // still ours: it was not to be deleted
    EXPECT_EQ (format.createReaderFor (new juce::MemoryInputStream (data, false), true), nullptr);
}
