#pragma once

#include <atomic>
#include <memory>

namespace zund
{
/** The loop sampler of one channel (or of the master bus): records the source
    into its buffers and replays the first loopLength samples, with a short
    crossfade at every jump.

    The control threads only post requests (start, stop, clear, new length) and
    store beats and length factor; the audio thread applies the requests at the
    start of a chunk and owns every other field, so no loop state is written
    from two threads. The views read the published active flag, start and end. */
class LoopSampler
{
public:
    static constexpr int bufferSize = 524288;

    LoopSampler();

    /** Default state with silent buffers; before the audio runs. */
    void reset() noexcept;

    //==============================================================================
    // Control threads.
    void requestActive (bool on, bool keepRunning) noexcept;
    void requestClear() noexcept { clearRequested.store (true); }
    /** Loop length in beats of a 4/4 bar; effective at the next half bar. */
    void setBeats (double beats) noexcept;
    /** Length knob 0..1 scaling the beats by (2^(5x) - 1) / 31; effective at once. */
    void setLengthKnob (double x) noexcept;

    bool isActivePublished() const noexcept { return publishedActive.load(); }
    double getStartPublished() const noexcept { return publishedStart.load(); }
    double getEndPublished() const noexcept { return publishedEnd.load(); }

    //==============================================================================
    // Audio thread.
    enum class Activation { none, start, startKeepRunning, stop };

    bool takeClearRequest() noexcept { return clearRequested.exchange (false); }
    Activation takeActivationRequest() noexcept { return (Activation) activation.exchange ((int) Activation::none); }
    /** Applies a posted length change. */
    void applyLengthRequest (int minimumLength) noexcept;

    void clear() noexcept;
    /** Starts recording a new loop with a bar of barLength samples, taken at track
        position startPosition moving by rate frames per sample. Ignored while
        active or while a stop is pending. */
    void start (double newBarLength, int minimumLength, double startPosition, double rate, bool keepTrackRunning) noexcept;
    /** Stops at once during the first pass or with keep-running, otherwise asks
        the next sample to return the track to the loop's place. */
    void stop() noexcept;

    bool isActive() const noexcept { return active; }
    bool isRecording() const noexcept { return recording; }
    bool isPlaying() const noexcept { return playing; }
    bool keepsTrackRunning() const noexcept { return keepRunning; }

    /** One sample of a channel's loop: records the source, advances the half-bar
        counter and, while playing, replaces the sample, shows the loop's place in
        playPosition and performs a pending stop (moving position back unless the
        track keeps running). Only while active. */
    void processChannelSample (float& left, float& right, double& position, double& playPosition, bool thru) noexcept;

    /** One sample of the master's loop: records the main bus, replaces the sample
        while playing and performs a pending stop only on a half-bar boundary.
        Only while active. */
    void processMasterSample (float& left, float& right) noexcept;

    /** Glides from the last output to the new source after a jump. Every sample. */
    void crossfade (float& left, float& right, float rampStep) noexcept
    {
        const float r = ramp;
        rampLeft = (1.0f - r) * rampLeft + r * left;
        rampRight = (1.0f - r) * rampRight + r * right;
        left = rampLeft;
        right = rampRight;
        ramp = r + rampStep < 1.0f ? r + rampStep : 1.0f;
    }

    /** Hands active flag, start and end to the views. */
    void publish() noexcept;

private:
    void applyLength (int minimumLength) noexcept;
    void recordSample (float left, float right) noexcept;
    /** True on a half-bar boundary, where a pending length takes effect. */
    bool countHalfBar() noexcept;
    void wrapPlayback() noexcept
    {
        playIndex = 0;
        ramp = 0.0f;
    }
    /** Leaves the loop; the crossfade glides back to the live source. */
    void endLoop() noexcept
    {
        active = playing = stopRequested = false;
        ramp = 0.0f;
    }

    std::unique_ptr<float[]> bufferLeft, bufferRight;

    // Posted by the control threads.
    std::atomic<int> activation { (int) Activation::none };
    std::atomic<bool> clearRequested { false };
    std::atomic<int> lengthRequest { 0 };
    std::atomic<double> beats { 0.125 };
    std::atomic<double> lengthFactor { 1.0 };

    // Audio thread.
    bool active = false, recording = false, playing = false, stopRequested = false, keepRunning = false;
    double barLength = 128.0;
    int loopLength = 1000, pendingLoopLength = 1000, halfBarSamples = 0, loopCounter = 0;
    int recordIndex = 0, playIndex = 0, stopIndex = 0;
    double loopStart = 0.0, loopRate = 0.0;
    float ramp = 1.0f, rampLeft = 0.0f, rampRight = 0.0f;

    // For the views.
    std::atomic<bool> publishedActive { false };
    std::atomic<double> publishedStart { 0.0 };
    std::atomic<double> publishedEnd { 0.0 };
};
}
