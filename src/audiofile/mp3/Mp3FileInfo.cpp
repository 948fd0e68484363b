#include "audiofile/mp3/Mp3FileInfo.h"

#include "audiofile/mp3/Mp3FrameHeader.h"
#include "audiofile/mp3/Mp3FrameWalker.h"
#include "common/files/AudioFileTypes.h"

namespace zund
{
bool getMp3FileInfo (const juce::File& file, int& kbps, int& sampleRate, int& seconds)
{
    if (! getPathExtension (file.getFullPathName()).equalsIgnoreCase (".mp3"))
        return false;

    juce::FileInputStream stream (file);
    if (! stream.openedOk())
        return false;

    const auto firstSync = findFirstMp3Sync (stream, nullptr);
    if (firstSync < 0)
        return false;

    constexpr int framesToWalk = 101;
    Mp3FrameWalker walker (stream, firstSync);
    Mp3Frame frame;
    int frames = 0, firstKbps = 0, rate = 0;
    bool variable = false;
    juce::int64 samples = 0, bytes = 0;

    while (frames < framesToWalk && walker.next (frame))
    {
        if (frames == 0)
            firstKbps = frame.kbps;
        else if (frame.kbps != firstKbps)
            variable = true;
        rate = frame.sampleRate;
        samples += frame.samplesPerFrame;
        bytes += frame.length;
        ++frames;
    }

    if (frames == 0)
        return false;

    kbps = variable ? -1 : firstKbps;
    sampleRate = rate;
    seconds = 0;
    if (bytes > 0 && rate > 0)
        seconds = (int) ((double) (stream.getTotalLength() - firstSync) / (double) bytes * (double) samples / (double) rate);
    return true;
}
}
