#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <functional>

namespace zund
{
/** What the device-loss handler asks of the main component, so that it can be
    tried without one. Message thread. */
class DeviceLossHost
{
public:
    virtual ~DeviceLossHost() = default;

    /** The audio callback's counters (see DeviceWatchdog::Observation). */
    virtual std::uint64_t getBlockProgress() const noexcept = 0;
    virtual std::uint64_t getDeviceStopCount() const noexcept = 0;
    /** A device started the audio callback and has not stopped it since. */
    virtual bool isAudioCallbackStarted() const noexcept = 0;
    virtual bool isQuitting() const noexcept = 0;

    /** Ends a running recording exactly as the user's stop would (the record
        button goes off, the file is finished); its file, or none when nothing
        was being recorded. */
    virtual juce::File endRecording() = 0;

    /** The "Zund2" warning, without waiting for it; `answer` gets whether the
        user chose to reopen the device. */
    virtual void showDeviceLoss (const juce::String& message, std::function<void (bool reopen)> answer) = 0;

protected:
    DeviceLossHost() = default;
};
}
