#include "audiofile/mp3/MP3ScanThread.h"

#include "audiofile/mp3/MP3Reader.h"
#include "audiofile/mp3/Mp3FrameWalker.h"

namespace zund
{
MP3ScanThread::MP3ScanThread (MP3Reader& owner)
    : juce::Thread ("MP3 Scan Thread"), reader (owner)
{
}

MP3ScanThread::~MP3ScanThread()
{
    stopThread (-1);
}

int MP3ScanThread::buildFrameTable()
{
    Mp3FrameWalker walker (*reader.input, reader.firstSync);
    Mp3Frame frame;
    juce::int64 sampleCount = 0;
    int firstKbps = 0;
    bool variable = false;

    while (! threadShouldExit() && walker.next (frame))
    {
        if (reader.frameOffsets.empty())
            firstKbps = frame.kbps;
        else if (frame.kbps != firstKbps)
            variable = true;

        reader.frameOffsets.push_back (frame.fileOffset);
        reader.frameFirstSamples.push_back (sampleCount);
        sampleCount += frame.samplesPerFrame;
    }

    reader.kbps.store (variable ? -1 : firstKbps, std::memory_order_relaxed);
    return (int) reader.frameOffsets.size();
}

void MP3ScanThread::run()
{
    const int frames = buildFrameTable();

    if (! threadShouldExit() && frames > 0)
        reader.setUpDecoder();

    reader.lengthInSamples = frames > 0 ? reader.frameFirstSamples.back() : 0;

    // Hands the table, length, kbps and decoder to the reading threads.
    reader.scanning.store (false, std::memory_order_release);
}
}
