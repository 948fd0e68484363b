#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <vector>

namespace zund::test
{
/** Frames of several channels, stored interleaved so the channels stay
    aligned, passed from the JACK thread (one writer) to the test thread (one
    reader) without a lock. Writing happens only while capture is on; a block
    that does not fit is dropped whole and counted. */
class CaptureRing
{
public:
    CaptureRing (int numChannels, int capacityFrames);

    /** Reader side: forgets what is waiting, then lets the writer in. */
    void startCapture();
    void stopCapture() noexcept { capturing.store (false); }

    /** JACK thread. */
    void write (const float* const* channels, int numFrames) noexcept;

    /** Reader side: appends what is waiting to `out` (one vector per channel). */
    void readInto (std::vector<std::vector<float>>& out);

    int getNumReady() const noexcept { return fifo.getNumReady(); }
    juce::int64 getDroppedFrames() const noexcept { return dropped.load(); }

private:
    int numChannels;
    juce::AbstractFifo fifo;
    std::vector<float> frames;
    std::atomic<bool> capturing { false };
    std::atomic<juce::int64> dropped { 0 };
};
}
