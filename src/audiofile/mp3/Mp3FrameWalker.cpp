#include "audiofile/mp3/Mp3FrameWalker.h"

#include "audiofile/mp3/Mp3FrameHeader.h"

#include <cstring>

namespace zund
{
Mp3FrameWalker::Mp3FrameWalker (juce::InputStream& s, juce::int64 firstFrameOffset)
    : stream (s), buffer ((size_t) bufferSize), fileOffset (firstFrameOffset)
{
    if (firstFrameOffset < 0 || ! stream.setPosition (firstFrameOffset))
        ended = true;
    else
        filled = readFully (stream, buffer.get(), bufferSize);
}

bool Mp3FrameWalker::next (Mp3Frame& frame)
{
    if (ended)
        return false;

    if (filled == bufferSize && position > bufferSize - refillMargin)
    {
        const int rest = filled - position;
        std::memmove (buffer.get(), buffer.get() + position, (size_t) rest);
        position = 0;
        filled = rest + readFully (stream, buffer.get() + rest, bufferSize - rest);
    }

    // Also keeps the four header bytes inside what was read.
    if (filled < bufferSize && filled - position <= endMargin)
    {
        ended = true;
        return false;
    }

    int spf, kbps, rate;
    const int length = parseMp3FrameHeader (buffer.get() + position, spf, kbps, rate);
    if (length == 0)
    {
        ended = true;
        return false;
    }

    frame.fileOffset = fileOffset;
    frame.length = length;
    frame.samplesPerFrame = spf;
    frame.kbps = kbps;
    frame.sampleRate = rate;

    position += length;
    fileOffset += length;
    return true;
}
}
