#include "engine/Engine.h"

#include "engine/DevicePair.h"

#include <cmath>

namespace zund
{
namespace
{
constexpr double absoluteLeadSeconds = 2.0; // absolute mode plays this far behind the record
constexpr double lowestPosition = -100000.0;
constexpr double highestPosition = 2147483647.0;

double limitPosition (double position) noexcept
{
    // Written so that NaN goes to the lowest position.
    if (position >= highestPosition)
        return highestPosition;
    return position >= lowestPosition ? position : lowestPosition;
}
}

void Engine::mixChannels (int numSamples, float* const* outputs, int numOutputs, int offset) noexcept
{
    const int activeChannels = numChannels.load();
    const int effectBus = fxChannel.load();

    for (int c = 0; c < activeChannels; ++c)
    {
        auto& ch = channels[c];
        const bool carriesEffect = c == effectBus;
        mixChannel (c, numSamples, carriesEffect);

        if (carriesEffect)
            processPlugins (ch.busLeft, ch.busRight, numSamples);

        addInto (mainBus[0], ch.busLeft, numSamples);
        addInto (mainBus[1], ch.busRight, numSamples);

        addIntoPair (outputs, numOutputs, outputPair[firstChannelOutputEntry + c].load(), offset, ch.busLeft,
                     ch.busRight, numSamples);
    }
}

void Engine::mixChannel (int c, int numSamples, bool carriesEffect) noexcept
{
    auto& ch = channels[c];
    const auto& deck = decks[followedDeck (c)];
    auto& loop = loops[c];
    auto& reader = readers[c];
    auto& dcBlocker = dcBlockers[c];

    // Controls, taken once per chunk.
    const bool locked = ch.pitchLocked.load();
    const bool thru = ch.thru.load();
    const bool absolute = ch.absolute.load();
    const bool playing = ch.playing.load();
    const bool cue = ch.cue.load();
    const float channelGainTarget = ch.channelGain.load();
    const float faderGainTarget = ch.faderVolume.load() * ch.crossfaderGain;
    const float cueGain = cueLevel.load();
    const double fileRate = reader.getSampleRate();
    const double syncFactor = ch.syncFactor.load();
    const double lockRange = zeroLockRange.load();
    const double lockSnap = lockRange * 1.001;
    const double lockUpper = 1.0 + lockRange;
    const double lockLower = 1.0 - lockRange;
    const int scratchTime = (int) sampleRate.load();

    // Playback state, kept in locals for the chunk.
    double position = ch.position;
    double playPosition = ch.playPosition.load();
    double decoderSpeed = ch.decoderSpeed;
    double speed = ch.speed.load();
    double smoothedSpeed = ch.smoothedSpeed.load();
    double increment = ch.increment;
    int scratchCounter = ch.scratchCounter.load();
    bool zeroLockActive = ch.zeroLockActive.load();
    float channelGain = ch.smoothedChannelGain;
    float faderGain = ch.smoothedFaderGain;
    StereoMeter preFader = ch.preFaderMeter.load();
    StereoMeter postFader = ch.postFaderMeter.load();

    for (int i = 0; i < numSamples; ++i)
    {
        ch.busLeft[i] = 0.0f;
        ch.busRight[i] = 0.0f;

        // Follow the deck.
        if (! locked && ! thru)
        {
            decoderSpeed = std::isfinite (deck.speed[i]) ? deck.speed[i] : 0.0;
            if (absolute && deck.position[i] >= 0.0f)
                position = ((double) deck.position[i] - absoluteLeadSeconds) * fileRate;
        }

        channelGain += (channelGainTarget - channelGain) * gainSmoothing;
        faderGain += (faderGainTarget - faderGain) * gainSmoothing;

        // Paused, or a new track waits for its restart: silence, nothing moves.
        if (! playing || ch.restartPending.load (std::memory_order_relaxed))
        {
            preFader = {};
            postFader = {};
            continue;
        }

        // Source.
        float left = 0.0f, right = 0.0f;
        if (loop.isRecording() || ! loop.isPlaying())
        {
            position = limitPosition (position);
            playPosition = position;
            if (thru)
            {
                left = deck.left[i];
                right = deck.right[i];
            }
            else
            {
                reader.read (position, left, right);
                // A load that began during the read: the new track waits for its restart.
                if (ch.restartPending.load())
                {
                    preFader = {};
                    postFader = {};
                    continue;
                }
            }
        }

        if (loop.isActive())
            loop.processChannelSample (left, right, position, playPosition, thru);
        loop.crossfade (left, right, loopRampStep);

        dcBlocker.process (left, right);

        left *= channelGain;
        right *= channelGain;
        preFader.update (left, right, meterDecayFast, meterDecaySlow);

        filterSample (c, left, right);
        eqSample (c, left, right);

        if (cue)
        {
            phonesBus[0][i] += left * cueGain;
            phonesBus[1][i] += right * cueGain;
        }

        left *= faderGain;
        right *= faderGain;
        if (carriesEffect)
            effectSample (left, right);

        ch.busLeft[i] = left;
        ch.busRight[i] = right;
        postFader.update (left, right, meterDecayFast, meterDecaySlow);

        // Speed: the scratch state, else the virtual zero lock.
        if (! locked)
        {
            double v = decoderSpeed;
            if (scratchCounter > 0)
            {
                if (v > 0.7)
                    --scratchCounter;
                else if (v < -0.05)
                    scratchCounter = scratchTime;
            }
            else if (v < -0.1)
            {
                scratchCounter = scratchTime;
                zeroLockActive = false;
            }
            else if (v <= lockSnap)
            {
                v = 0.0;
            }
            else if (v >= lockUpper)
            {
                v -= lockRange;
                zeroLockActive = false;
            }
            else if (v <= lockLower)
            {
                v += lockRange;
                zeroLockActive = false;
            }
            else
            {
                v = 1.0;
                zeroLockActive = true;
            }

            speed = v;
            smoothedSpeed += (v - smoothedSpeed) * speedSmoothing;
            smoothedSpeed += 1.0e-18;
            smoothedSpeed -= 1.0e-18;
        }

        increment = syncFactor * speed * ch.fileRateRatio;
        if (! thru && (loop.isRecording() || ! loop.isPlaying() || loop.keepsTrackRunning()))
            position += increment;
    }

    ch.position = position;
    ch.playPosition = playPosition;
    ch.decoderSpeed = decoderSpeed;
    ch.speed = speed;
    ch.smoothedSpeed = smoothedSpeed;
    ch.increment = increment;
    ch.scratchCounter = scratchCounter;
    ch.zeroLockActive = zeroLockActive;
    ch.smoothedChannelGain = channelGain;
    ch.smoothedFaderGain = faderGain;
    ch.preFaderMeter.store (preFader);
    ch.postFaderMeter.store (postFader);
}
}
