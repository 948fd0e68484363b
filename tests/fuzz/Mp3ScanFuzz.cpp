// The MP3 first-sync search and frame walk over any bytes: no crash, no hang, and
// frames only where the bytes are.
#include "FuzzInputFile.h"
#include "audiofile/mp3/Mp3FrameHeader.h"
#include "audiofile/mp3/Mp3FrameWalker.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    using namespace zund;
    juce::MemoryInputStream stream (data, size, false);
    const auto sync = findFirstMp3Sync (stream, nullptr);
    fuzz::check (sync >= -1 && sync < (juce::int64) size, "the sync lies inside the file");
    if (sync < 0)
        return 0;

    Mp3FrameWalker walker (stream, sync);
    Mp3Frame frame;
    juce::int64 previous = -1;
    while (walker.next (frame))
    {
        fuzz::check (frame.fileOffset > previous && frame.fileOffset + 4 <= (juce::int64) size,
                     "frames follow each other inside the file");
        fuzz::check (frame.length > 0 && frame.samplesPerFrame > 0 && frame.sampleRate > 0, "a frame has a shape");
        previous = frame.fileOffset;
    }
    return 0;
}
