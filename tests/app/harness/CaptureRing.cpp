#include "app/harness/CaptureRing.h"

namespace zund::test
{
CaptureRing::CaptureRing (int channels, int capacityFrames)
    : numChannels (channels), fifo (capacityFrames), frames ((size_t) (channels * capacityFrames))
{
}

void CaptureRing::startCapture()
{
    capturing.store (false);
    fifo.finishedRead (fifo.getNumReady());
    capturing.store (true);
}

void CaptureRing::write (const float* const* channels, int numFrames) noexcept
{
    if (! capturing.load())
        return;
    if (fifo.getFreeSpace() < numFrames)
    {
        dropped.fetch_add (numFrames);
        return;
    }

    int start1, size1, start2, size2;
    fifo.prepareToWrite (numFrames, start1, size1, start2, size2);
    auto copy = [&] (int ringStart, int size, int offset)
    {
        for (int i = 0; i < size; ++i)
            for (int ch = 0; ch < numChannels; ++ch)
                frames[(size_t) ((ringStart + i) * numChannels + ch)] = channels[ch][offset + i];
    };
    copy (start1, size1, 0);
    copy (start2, size2, size1);
    fifo.finishedWrite (size1 + size2);
}

void CaptureRing::readInto (std::vector<std::vector<float>>& out)
{
    out.resize ((size_t) numChannels);
    const int ready = fifo.getNumReady();
    int start1, size1, start2, size2;
    fifo.prepareToRead (ready, start1, size1, start2, size2);
    auto take = [&] (int ringStart, int size)
    {
        for (int i = 0; i < size; ++i)
            for (int ch = 0; ch < numChannels; ++ch)
                out[(size_t) ch].push_back (frames[(size_t) ((ringStart + i) * numChannels + ch)]);
    };
    take (start1, size1);
    take (start2, size2);
    fifo.finishedRead (size1 + size2);
}
}
