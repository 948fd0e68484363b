#pragma once

#include "audiofile/BufferedAudioReader.h"
#include "common/events/SharedTimer.h"
#include "engine/recorder/Audio2DiskRecorder.h"
#include "engine/ChannelState.h"
#include "engine/ChunkSize.h"
#include "engine/dsp/CurveTable.h"
#include "engine/dsp/DcBlocker.h"
#include "engine/DeckState.h"
#include "engine/effects/FXBaseClass.h"
#include "engine/dsp/FilterSet.h"
#include "engine/dsp/LoopSampler.h"
#include "engine/Meters.h"
#include "engine/dsp/PeakLimiter.h"
#include "engine/PendingValue.h"
#include "engine/plugins/PlayHeadRecord.h"
#include "engine/plugins/PluginBuffer.h"
#include "engine/XYInputListener.h"
#include "engine/plugins/ZundPlayHead.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <atomic>
#include <memory>

namespace zund
{
/** The audio engine: turns every device block into the mixer's output.

    The audio thread calls processBlock, which holds the engine lock for the
    whole block and works in chunks of at most 256 samples. The message and MIDI
    threads call the setters and getters: most are plain atomic stores and reads
    that the audio thread picks up at its next chunk; the few that rebuild DSP
    state take the lock. Jumps of audio-thread state (seeks, speed freezes, loop
    start and stop) are posted and applied at the start of the next chunk.
    Numbers that are not finite or far out of range never reach the DSP state:
    the setters refuse them or hold them at their range's end (ControlLimits.h).

    Its five track readers and five loop samplers hold tens of MB. */
class Engine : public SharedTimer
{
public:
    static constexpr int numDecks = 4;
    static constexpr int numMixerChannels = 4;
    static constexpr int previewChannel = 4; // reader and position index of the preview player
    static constexpr int masterSet = 4;      // filter, EQ and loop index of the master
    static constexpr int numSets = 5;
    static constexpr double minimumProcessingRate = 11025.0;

    /** Output pairs, in the order in which they are limited. */
    enum OutputEntry
    {
        mainOutputEntry,
        phonesOutputEntry,
        firstChannelOutputEntry,
        numOutputEntries = firstChannelOutputEntry + numMixerChannels
    };

    Engine();
    ~Engine() override;

    //==============================================================================
    // Audio thread.
    void processBlock (const float* const* inputs, int numInputs, float* const* outputs, int numOutputs,
                       int numSamples, bool xyViewsVisible);

    //==============================================================================
    // Tracks, restart and transport.
    bool loadTrack (int channel, const juce::File& file, double bpm);
    /** Restarts the channels whose new track is ready (every 20 ms). */
    void timerCallback() override;
    /** Puts a freshly loaded channel one second before its track (or resyncs its
        deck in absolute mode) and lets it play. Sleeps 200 ms. */
    void restartDeck (int channel);

    void setSampleRate (int rate);
    int getSampleRate() const noexcept;
    void setNumChannels (int count);
    int getNumChannels() const noexcept;

    void setPlaying (int channel, bool on);
    bool isPlaying (int channel) const noexcept;
    bool isTrackLoaded (int channel) const noexcept;
    /** Channel 4 is the preview player. */
    void setPositionSeconds (int channel, float seconds);
    void setPositionFraction (int channel, double fraction);
    double getPositionFraction (int channel) const noexcept;
    float getPositionSeconds (int channel) const noexcept;
    float getRemainingSeconds (int channel) const noexcept;
    juce::int64 getPlayPosition (int channel) const noexcept;

    //==============================================================================
    // Decks and timecode.
    void setDeckInput (int deck, int firstInputChannel);
    void setSoftPreamp (int deck, bool on);
    void setInvertPhaseLeft (int deck, bool on);
    void setChannelInputDeck (int channel, int deck);
    int getChannelInputDeck (int channel) const noexcept;
    void setChannelAbsolute (int channel, bool on);
    bool isChannelAbsolute (int channel) const noexcept;
    void setThru (int channel, bool on);
    bool isThru (int channel) const noexcept;
    bool hasNoSignal (int channel) const noexcept;
    double getDecoderSpeed (int channel) const noexcept;
    double getPitch (int channel) const noexcept;
    /** 1 while the zero lock holds the speed at 1.0, 2 while scratching, else 0. */
    int getSpeedState (int channel) const noexcept;
    void setVirtualZeroLockRange (double percent);
    void takeControl (int channel);
    /** -1 alone on its deck, 1 with the vinyl control, 0 pitch-locked. */
    int getControlState (int channel) const noexcept;
    bool isPitchLocked (int channel) const noexcept;
    bool isOnSharedDeck (int channel) const noexcept;
    /** The listener that gets the deck's conditioned input while the views are
        visible. Returns with a view that was taken out no longer in use. */
    void setXYView (int deck, XYInputListener* view);

    //==============================================================================
    // Gains, filters and EQ (set 4 is the master).
    void setChannelGainDb (int channel, float decibels);
    void setChannelFader (int channel, float x);
    void setCue (int channel, bool on);
    void setMainGainDb (float decibels);
    void setPhonesGainDb (float decibels);
    void setCueMix (float x);
    void setFilterType (int set, int type);
    void setFilterFrequency (int set, float x);
    void setFilterResonance (int set, float x);
    void setFilterLowPassLevel (int set, float level);
    void setFilterBandPassLevel (int set, float level);
    void setFilterHighPassLevel (int set, float level);
    void setEqLow (int set, float x);
    void setEqMid (int set, float x);
    void setEqHigh (int set, float x);
    void setEqMidFrequency (int set, float x);
    void setEqKillLow (int set, bool on);
    void setEqKillMid (int set, bool on);
    void setEqKillHigh (int set, bool on);
    void setEqMode (int set, bool bandSplit);

    //==============================================================================
    // Loop sampler (slot 4 is the master), tempo and clock.
    void setLoopActive (int slot, bool on, bool keepRunning);
    void setLoopBeats (int slot, double beats);
    void setLoopLengthKnob (int slot, double x);
    bool isLoopActive (int slot) const noexcept;
    juce::int64 getLoopStart (int slot) const noexcept;
    juce::int64 getLoopEnd (int slot) const noexcept;
    void setChannelSync (int channel, bool on);
    bool isChannelSync (int channel) const noexcept;
    void setClockChannel (int channel);
    int getClockChannel() const noexcept;
    double getTrackBpm (int channel) const noexcept;
    double getEffectiveBpm (int channel) const noexcept;
    double getCurrentBpm (int channel) const noexcept;

    //==============================================================================
    // Crossfader, effect, plug-ins and preview player.
    void setCrossfaderPosition (float position);
    void setCrossfaderCurve (int curve);
    void setCrossfaderSideA (int channel);
    void setCrossfaderSideB (int channel);
    void setFXType (int type);
    void setFXOn (bool on);
    void setFXTempo (double bpm);
    void setFXBeatLength (double beats);
    void setFXDepth (float depth);
    void setFXMix (float mix);
    void setFXChannel (int channel);
    /** Only bus 4 (the main bus) takes plug-ins; slot 0 or 1; null empties the slot.
        The instance is given a stereo layout and prepared (before the lock is
        taken, unless it is already in a slot); false, with the slot unchanged,
        for a plug-in that cannot run in stereo. Returns with the audio
        thread no longer using the previous instance, whose resources are released:
        the caller may delete it at once. */
    bool setPlugin (int bus, int slot, juce::AudioProcessor* instance);
    bool loadPreviewFile (const juce::File& file);
    void startPreview();
    void stopPreview();
    void previewFastForward();
    void previewRewind();
    void previewStopWinding();

    //==============================================================================
    // Recording.
    bool startRecording (const juce::String& path, int bits, bool recordMainMix);
    /** False when a write of the recording failed (the file then holds what was written). */
    bool stopRecording();
    /** A device input pair for the recorder; ignored while the main mix is recorded. */
    void feedRecorder (const float* left, const float* right, int numSamples);
    /** Why a running recording takes no more audio: a write failed (the disk is
        full), or the file has reached the largest size a WAV header can
        describe. The file stays valid up to there until stopRecording. */
    enum class RecordingHalt
    {
        none,
        writeFailed,
        sizeLimit
    };
    RecordingHalt getRecordingHalt() const noexcept;

    //==============================================================================
    // Output routing: first device output channel of the pair, negative for none.
    void setMainOutput (int firstOutputChannel);
    void setPhonesOutput (int firstOutputChannel);
    void setChannelOutput (int channel, int firstOutputChannel);

    //==============================================================================
    // Meters and views.
    float getChannelPreFaderPeakLeft (int channel) const noexcept;
    float getChannelPreFaderPeakRight (int channel) const noexcept;
    float getChannelPreFaderHoldLeft (int channel) const noexcept;
    float getChannelPreFaderHoldRight (int channel) const noexcept;
    float getChannelPostFaderPeakLeft (int channel) const noexcept;
    float getChannelPostFaderPeakRight (int channel) const noexcept;
    float getChannelPostFaderHoldLeft (int channel) const noexcept;
    float getChannelPostFaderHoldRight (int channel) const noexcept;
    float getMainPeak (int side) const noexcept;
    float getMainHold (int side) const noexcept;
    float getPhonesPeak (int side) const noexcept;
    float getPhonesHold (int side) const noexcept;
    const std::atomic<float>* getWavePeakRing (int channel) const noexcept;
    const std::atomic<float>* getWaveAverageRing (int channel) const noexcept;
    int getWaveRingPosition (int channel) const noexcept;

    const CurveTable& getFaderCurve() const noexcept { return faderCurve; }
    const CurveTable& getEqGainCurve() const noexcept { return eqGainCurve; }
    PlayHeadRecord getPlayHeadRecord() const;

    //==============================================================================
    // Tests and diagnostics.
    /** Replaces the deck's timecode decoder: the source fills each chunk's speed
        and position per sample, whatever the deck's input pair. Null gives the
        deck back to its decoder. */
    void overrideDeckSignal (int deck, DeckState::SignalSource source);
    /** True when the channel's reader has the track frame ready. */
    bool isFrameCached (int channel, juce::int64 frame) const noexcept;

private:
    //==============================================================================
    // Block frame (EngineBlock.cpp).
    void advancePlayHead (int numSamples, double rate) noexcept;
    void processChunk (const float* const* inputs, int numInputs, float* const* outputs, int numOutputs,
                       int offset, int numSamples, bool xyViewsVisible) noexcept;
    void writeMainAndPhones (float* const* outputs, int numOutputs, int offset, int numSamples) noexcept;
    void limitOutputs (float* const* outputs, int numOutputs, int numSamples) noexcept;

    // Requests posted by the control threads (EnginePendingRequests.cpp).
    void applyPendingRequests() noexcept;
    void applySpeedChange (ChannelState& channel) noexcept;
    void applyLoopRequests (int slot) noexcept;
    double loopBarLength (int slot) const noexcept;
    void applyPreviewRequests() noexcept;

    // Deck inputs (EngineDeckInputs.cpp).
    void readDeckInputs (const float* const* inputs, int numInputs, int offset, int numSamples) noexcept;
    void conditionDeckInputs (int numSamples) noexcept;
    void feedXYViews (int numSamples) noexcept;
    void decodeTimecode (int numSamples) noexcept;

    // Channel mix (EngineChannelMix.cpp).
    void mixChannels (int numSamples, float* const* outputs, int numOutputs, int offset) noexcept;
    void mixChannel (int channel, int numSamples, bool carriesEffect) noexcept;

    // Master bus (EngineMasterBus.cpp).
    void processMasterBus (int numSamples) noexcept;
    void playPreview (int numSamples) noexcept;

    //==============================================================================
    // Stages: where the engine meets the DSP objects, the recorder and the plug-ins.
    // EngineTimecodeStage.cpp
    void runTimecodeDecoder (int deck, int numSamples) noexcept;
    void requestTimecodeResync (int deck) noexcept;
    bool timecodeHasNoSignal (int deck) const noexcept;
    double timecodeSpeed (int deck) const noexcept;
    void setTimecodeSampleRate (double rate);
    // EngineFilterStage.cpp
    void filterSample (int set, float& left, float& right) noexcept;
    void eqSample (int set, float& left, float& right) noexcept;
    void setFilterSampleRate (double rate);
    // EngineEffectStage.cpp. effectSample runs the current effect on one sample
    // (the channel mix and the master chain call it); the effect setters lock.
    void effectSample (float& left, float& right) noexcept;
    void processPlugins (float* left, float* right, int numSamples) noexcept;
    void installEffect (std::unique_ptr<FXBaseClass>& effect) noexcept;
    // The effect setters take the lock, so that none reaches an effect that a
    // type change on another thread is deleting.
    template <typename Fn>
    void updateEffect (Fn&& update)
    {
        const juce::ScopedLock sl (lock);
        if (currentFX != nullptr)
            update (*currentFX);
    }
    void setEffectSampleRate (double rate);
    bool preparePlugin (juce::AudioProcessor& instance, double rate);
    bool reservePluginBuffer (const juce::AudioProcessor& instance);
    // EngineLimiterStage.cpp
    void limitOutputPair (int entry, float* left, float* right, int numSamples) noexcept;
    // EngineRecorderStage.cpp
    bool startRecorderFile (const juce::String& path, int bits);
    bool stopRecorderFile();
    void writeToRecorder (const float* left, const float* right, int numSamples) noexcept;
    void setRecorderSampleRate (double rate);

    //==============================================================================
    // Control helpers.
    void reset();
    void reevaluatePitchLocks();
    bool allActiveChannelsFollowOneDeck() const noexcept;
    void updateTempoSync (int channel);
    void updateCrossfaderGains() noexcept;
    int followedDeck (int channel) const noexcept;

    // The EQ setters redesign coefficients that the audio thread uses, so they lock.
    template <typename Fn>
    void updateEq (int set, Fn&& update)
    {
        if (! isSet (set))
            return;
        const juce::ScopedLock sl (lock);
        update (filterSets[set].eq);
    }

    static bool isChannel (int channel) noexcept { return channel >= 0 && channel < numMixerChannels; }
    static bool isSet (int set) noexcept { return set >= 0 && set < numSets; }
    static bool isDeck (int deck) noexcept { return deck >= 0 && deck < numDecks; }

    //==============================================================================
    juce::CriticalSection lock;
    bool constructed = false;

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<int> numChannels { 2 };
    std::atomic<float> mainGain { 1.0f };
    std::atomic<float> phonesGain { 1.0f };

    // Rate-dependent values, set under the lock.
    float meterDecayFast = 0.0f;
    float meterDecaySlow = 0.0f;
    double speedSmoothing = 0.0;
    float gainSmoothing = 0.001f;
    float loopRampStep = 0.001f;

    // Recording.
    std::atomic<bool> recording { false };
    std::atomic<bool> recordMix { true };
    Audio2DiskRecorder recorder;
    PeakLimiter recordingLimiter;

    // Effect slot and the main bus plug-ins. The current effect and the plug-ins
    // are reached only under the lock: the effect setters may come from a MIDI
    // thread while the message thread swaps the effect.
    std::unique_ptr<FXBaseClass> currentFX;
    std::atomic<int> fxType { -1 };
    std::atomic<int> fxChannel { masterSet };
    std::atomic<bool> fxOn { false };
    std::atomic<double> fxTempo { 60.0 };
    std::atomic<double> fxBeatLength { 4.0 };
    std::atomic<float> fxDepth { 0.5f };
    std::atomic<float> fxMix { 0.5f };
    juce::AudioProcessor* plugins[2] = {};
    PlayHeadRecord playHead;
    ZundPlayHead zundPlayHead { playHead };
    PluginBuffer pluginBuffer;

    // Curves.
    CurveTable faderCurve, eqGainCurve;
    CurveTable crossfaderCurves[3];

    // Crossfader and routing.
    std::atomic<int> crossfaderSideA { -1 };
    std::atomic<int> crossfaderSideB { -1 };
    std::atomic<int> crossfaderCurve { 1 };
    std::atomic<float> crossfaderPosition { 0.5f };
    std::atomic<int> outputPair[numOutputEntries];
    std::atomic<float> cueLevel { 1.0f };
    std::atomic<float> mainInPhonesLevel { 0.0f };

    // Preview player.
    std::atomic<bool> previewPlaying { false };
    std::atomic<double> previewPosition { 0.0 };
    PendingValue pendingPreviewPosition;
    enum PreviewWindRequest { noWindRequest = 0, windForward = 1, windBackward = -1, windStop = 2 };
    std::atomic<int> pendingPreviewWind { noWindRequest };
    int previewWindCounter = 0;   // audio thread
    int previewWindDirection = 0; // audio thread

    // Vinyl control.
    std::atomic<double> zeroLockRange { 0.01 };
    std::atomic<int> clockChannel { 0 };
    std::atomic<int> previousClockChannel { 0 };

    FilterSet filterSets[numSets];

    BufferedAudioReader readers[numMixerChannels + 1];
    DeckState decks[numDecks];
    ChannelState channels[numMixerChannels];
    LoopSampler loops[numSets];
    DcBlocker dcBlockers[numMixerChannels]; // the master chain has none

    float mainBus[2][maxChunk] = {};
    float phonesBus[2][maxChunk] = {};
    float smoothedMainGain = 0.0f; // audio thread; from 0, so the output fades in
    PublishedMeter mainMeter, phonesMeter;

    // One limiter per output entry (the recorded main mix has its own, above).
    PeakLimiter outputLimiters[numOutputEntries];

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Engine)
};
}
