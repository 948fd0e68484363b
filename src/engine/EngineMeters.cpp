#include "engine/Engine.h"

namespace zund
{
namespace
{
float readLevel (const std::atomic<float>& level) noexcept
{
    return level.load (std::memory_order_relaxed);
}

bool isSide (int side) noexcept
{
    return side == 0 || side == 1;
}
}

float Engine::getChannelPreFaderPeakLeft (int c) const noexcept
{
    return isChannel (c) ? readLevel (channels[c].preFaderMeter.peak[0]) : 0.0f;
}

float Engine::getChannelPreFaderPeakRight (int c) const noexcept
{
    return isChannel (c) ? readLevel (channels[c].preFaderMeter.peak[1]) : 0.0f;
}

float Engine::getChannelPreFaderHoldLeft (int c) const noexcept
{
    return isChannel (c) ? readLevel (channels[c].preFaderMeter.hold[0]) : 0.0f;
}

float Engine::getChannelPreFaderHoldRight (int c) const noexcept
{
    return isChannel (c) ? readLevel (channels[c].preFaderMeter.hold[1]) : 0.0f;
}

float Engine::getChannelPostFaderPeakLeft (int c) const noexcept
{
    return isChannel (c) ? readLevel (channels[c].postFaderMeter.peak[0]) : 0.0f;
}

float Engine::getChannelPostFaderPeakRight (int c) const noexcept
{
    return isChannel (c) ? readLevel (channels[c].postFaderMeter.peak[1]) : 0.0f;
}

float Engine::getChannelPostFaderHoldLeft (int c) const noexcept
{
    return isChannel (c) ? readLevel (channels[c].postFaderMeter.hold[0]) : 0.0f;
}

float Engine::getChannelPostFaderHoldRight (int c) const noexcept
{
    return isChannel (c) ? readLevel (channels[c].postFaderMeter.hold[1]) : 0.0f;
}

float Engine::getMainPeak (int side) const noexcept
{
    return isSide (side) ? readLevel (mainMeter.peak[side]) : 0.0f;
}

float Engine::getMainHold (int side) const noexcept
{
    return isSide (side) ? readLevel (mainMeter.hold[side]) : 0.0f;
}

float Engine::getPhonesPeak (int side) const noexcept
{
    return isSide (side) ? readLevel (phonesMeter.peak[side]) : 0.0f;
}

float Engine::getPhonesHold (int side) const noexcept
{
    return isSide (side) ? readLevel (phonesMeter.hold[side]) : 0.0f;
}

const std::atomic<float>* Engine::getWavePeakRing (int channel) const noexcept
{
    return isChannel (channel) ? readers[channel].getPeakRing() : nullptr;
}

const std::atomic<float>* Engine::getWaveAverageRing (int channel) const noexcept
{
    return isChannel (channel) ? readers[channel].getAverageRing() : nullptr;
}

int Engine::getWaveRingPosition (int channel) const noexcept
{
    return isChannel (channel) ? BufferedAudioReader::getWaveRingIndex (channels[channel].playPosition.load()) : 0;
}
}
