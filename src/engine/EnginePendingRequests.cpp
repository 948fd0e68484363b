#include "engine/Engine.h"

#include <cmath>

namespace zund
{
namespace
{
constexpr double fallbackTempo = 60.0;
constexpr int windStartCount = 10000000; // makes the first wind jump come at once

bool isUsableTempo (double bpm) noexcept
{
    return bpm > 0.0 && std::isfinite (bpm);
}
}

void Engine::applyPendingRequests() noexcept
{
    for (int c = 0; c < numMixerChannels; ++c)
    {
        auto& ch = channels[c];
        auto& loop = loops[c];
        if (loop.takeClearRequest())
            loop.clear();

        double frames = 0.0;
        if (ch.pendingRestartPosition.take (frames))
        {
            ch.position = frames;
            ch.playPosition = frames;
        }
        if (ch.pendingSeek.take (frames) && ! loop.isActive() && ! ch.absolute.load())
        {
            ch.position = frames;
            ch.playPosition = frames;
        }
        applySpeedChange (ch);
    }

    for (int slot = 0; slot < numSets; ++slot)
        applyLoopRequests (slot);

    applyPreviewRequests();
}

void Engine::applySpeedChange (ChannelState& ch) noexcept
{
    double speed = ch.speed.load(), smoothedSpeed = ch.smoothedSpeed.load();
    ch.pendingSpeedChange.apply (speed, smoothedSpeed);
    ch.speed = speed;
    ch.smoothedSpeed = smoothedSpeed;
}

void Engine::applyLoopRequests (int slot) noexcept
{
    auto& loop = loops[slot];
    const int minimumLength = (int) sampleRate.load() / 10000;
    loop.applyLengthRequest (minimumLength);

    using Activation = LoopSampler::Activation;
    const auto request = loop.takeActivationRequest();
    if (request == Activation::stop)
    {
        loop.stop();
    }
    else if (request != Activation::none && ! loop.isActive())
    {
        const bool isChannelSlot = slot < numMixerChannels;
        const double startPosition = isChannelSlot ? channels[slot].position : previewPosition.load();
        const double rate = isChannelSlot ? channels[slot].increment : 0.0;
        loop.start (loopBarLength (slot), minimumLength, startPosition, rate,
                    request == Activation::startKeepRunning);
    }
}

double Engine::loopBarLength (int slot) const noexcept
{
    // The bar is measured at the tempo of the slot's own channel, or of the
    // clock channel for the master and for a channel in THRU.
    const int k = slot < numMixerChannels && ! channels[slot].thru.load() ? slot : clockChannel.load();

    // 0 without a channel or track tempo; a stopped or reversed deck has no
    // tempo to measure a bar with either.
    double bpm = getEffectiveBpm (k);
    if (! isUsableTempo (bpm))
        bpm = fxTempo.load();
    if (! isUsableTempo (bpm))
        bpm = fallbackTempo;

    return sampleRate.load() * 240.0 / bpm;
}

void Engine::applyPreviewRequests() noexcept
{
    double frames = 0.0;
    if (pendingPreviewPosition.take (frames))
        previewPosition = frames;

    switch (pendingPreviewWind.exchange (noWindRequest))
    {
        case windForward:
            previewWindCounter = windStartCount;
            previewWindDirection = 1;
            break;
        case windBackward:
            previewWindCounter = windStartCount;
            previewWindDirection = -1;
            break;
        case windStop:
            previewWindDirection = 0;
            break;
        default:
            break;
    }
}
}
