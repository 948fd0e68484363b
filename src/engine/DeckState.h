#pragma once

#include "engine/ChunkSize.h"
#include "engine/dsp/SoftPreampFilter.h"
#include "engine/timecode/TimecodeDecoder.h"

#include <atomic>
#include <functional>

namespace zund
{
class XYInputListener;

/** One turntable input pair: its routing and conditioning, the chunk of input it
    delivered and the speed and position decoded from it per sample. */
struct DeckState
{
    /** Fills speed and position for numSamples samples (a test stand-in for the
        timecode decoder). */
    using SignalSource = std::function<void (double* speed, float* position, int numSamples)>;

    // Controls.
    std::atomic<int> inputChannel { -1 }; // first device input of the pair, negative for none
    std::atomic<bool> softPreamp { false };
    std::atomic<bool> invertPhaseLeft { false };
    std::atomic<XYInputListener*> xyView { nullptr };

    // Audio thread.
    SoftPreampFilter preamp;
    TimecodeDecoder decoder; // its speed, signal flag and resync request are shared with the control threads
    float left[maxChunk] = {};
    float right[maxChunk] = {};
    double speed[maxChunk] = {};   // per sample; 0 without an input pair
    float position[maxChunk] = {}; // seconds where the decoder re-anchors, negative for none

    // Replaces the decoder while set (under the engine lock).
    SignalSource testSource;
    std::atomic<bool> hasTestSource { false };
    std::atomic<double> testSourceSpeed { 0.0 }; // its last speed, for the views
};
}
