#pragma once

#include "engine/ChunkSize.h"
#include "engine/Meters.h"
#include "engine/PendingSpeedChange.h"
#include "engine/PendingValue.h"

#include <atomic>

namespace zund
{
/** One mixer channel's state, grouped by who writes it. */
struct ChannelState
{
    //==============================================================================
    // Controls: written by the message and MIDI threads, read by the audio thread.
    std::atomic<int> inputDeck { 0 };
    std::atomic<bool> playing { true };
    std::atomic<bool> trackLoaded { false };
    std::atomic<bool> restartPending { false };
    std::atomic<bool> thru { false };
    std::atomic<bool> absolute { false };
    std::atomic<bool> sync { false };
    std::atomic<bool> cue { false };
    std::atomic<bool> pitchLocked { false };
    std::atomic<double> trackBpm { 1.0 };
    std::atomic<double> syncFactor { 1.0 };
    std::atomic<float> channelGain { 1.0f };
    std::atomic<float> faderVolume { 1.0f };

    // Posted to the audio thread, taken at the start of its next chunk.
    PendingValue pendingSeek;            // a seek in track frames (not while looping or absolute)
    PendingValue pendingRestartPosition; // the pre-roll position of a restart
    PendingSpeedChange pendingSpeedChange;

    //==============================================================================
    // Audio thread only.
    double position = 0.0;      // track frame read next
    double decoderSpeed = 0.0;  // last speed taken from the deck
    double increment = 0.0;     // frames advanced per output sample
    double fileRateRatio = 1.0; // track rate / device rate
    float crossfaderGain = 1.0f; // from the crossfader's position, curve and sides
    float smoothedChannelGain = 1.0f;
    float smoothedFaderGain = 0.0f;
    float busLeft[maxChunk] = {};
    float busRight[maxChunk] = {};

    //==============================================================================
    // Written by the audio thread after each chunk, read by anyone.
    std::atomic<double> playPosition { 0.0 }; // the position last read (or the loop's place)
    std::atomic<double> speed { 0.0 };        // applied after the zero lock
    std::atomic<double> smoothedSpeed { 0.0 };
    std::atomic<int> scratchCounter { 0 };
    std::atomic<bool> zeroLockActive { false };
    PublishedMeter preFaderMeter, postFaderMeter;
};
}
