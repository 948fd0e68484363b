// One track format (ZUND_FUZZ_EXTENSION) through the reader factory: no crash, no
// hang, bounded memory, and silence wherever the track has no frames.
#include "FuzzInputFile.h"
#include "audiofile/AudioReaderFactory.h"
#include "audiofile/mp3/Mp3FileInfo.h"

#include <algorithm>

namespace
{
constexpr int frames = 4096;
int left[frames], right[frames];

/** As the track cache reads: a failed read is taken as silence. */
void readAt (juce::AudioFormatReader& reader, juce::int64 start)
{
    std::fill (left, left + frames, 0x5555);
    std::fill (right, right + frames, 0x5555);
    int* dest[2] = { left, right };
    if (! reader.read (dest, 2, start, frames, true))
    {
        std::fill (left, left + frames, 0);
        std::fill (right, right + frames, 0);
    }
}

bool silentIn (int first, int last)
{
    return std::all_of (left + first, left + last, [] (int s) { return s == 0; })
        && std::all_of (right + first, right + last, [] (int s) { return s == 0; });
}
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace zund;
    const auto file = fuzz::writeInputFile (data, size, ZUND_FUZZ_EXTENSION);

    int kbps = 0, rate = 0, seconds = 0;
    getMp3FileInfo (file, kbps, rate, seconds); // false for the other extensions

    auto reader = createAudioReader (file);
    if (reader == nullptr)
        return 0;
    while (isMp3ScanRunning (reader.get()))
        juce::Thread::sleep (1);

    const auto length = reader->lengthInSamples;
    fuzz::check (length >= 0 && reader->numChannels > 0 && reader->sampleRate > 0, "a reader has a shape");

    readAt (*reader, -frames / 2);
    fuzz::check (silentIn (0, frames / 2), "silence before the start");
    readAt (*reader, 0);
    readAt (*reader, length / 2);
    readAt (*reader, length - 10);
    fuzz::check (silentIn (10, frames), "silence past the end");
    readAt (*reader, length + 12345);
    fuzz::check (silentIn (0, frames), "silence far past the end");
    return 0;
}
