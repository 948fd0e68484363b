#pragma once

#include "app/device/DeviceWatchdog.h"
#include "common/events/SharedTimer.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <optional>

namespace zund
{
class DeviceLossHost;

/** Notices an audio device that stopped under the program and deals with it.

    Two signs, both judged on the message thread every checkIntervalMs: the
    device the program runs was closed by the framework (a JACK server's
    shutdown; the framework also reports ordinary stops, so a stop alone
    proves nothing), or its blocks stopped coming (DeviceWatchdog; an ALSA
    card that went away). Then a running recording ends as the user's stop
    would end it, the dead device is closed (so the preferences show that no
    device is open), and one "Zund2" warning names the device and the
    recording's file and offers to reopen the same set-up. Choosing the
    device again in the preferences reopens the whole lost set-up as well.

    Never while the program quits, nor for a device change the user or the
    program makes: another device object (or none) is a change, not a loss.
    Made once the program's own device is open. Message thread. */
class DeviceLossHandler : private SharedTimer
{
public:
    static constexpr int checkIntervalMs = 100;

    DeviceLossHandler (juce::AudioDeviceManager& deviceManager, DeviceLossHost& host,
                       DeviceWatchdog::Clock clock = juce::Time::getMillisecondCounterHiRes);
    ~DeviceLossHandler() override;

    /** Watches the device that is open now, from now on. */
    void start();

    /** One look at the device, as the timer takes it. */
    void check();

    /** Opens the lost set-up again (after looking for its devices afresh: a
        restarted server, a card plugged in again). Empty on success; on
        failure the warning comes again with the reason. */
    juce::String reopen();

    /** While a lost device waits, its kind of device is looked for again and
        the device lists are told, so that the preferences offer it once it is
        back. */
    void refreshDeviceLists();

    bool hasLostDevice() const noexcept { return lost.has_value(); }

    /** The warning's text: the device, the recording it closed (if any) and
        why a reopen failed (if it did). */
    static juce::String describeLoss (const juce::String& deviceName, const juce::String& typeName,
                                      const juce::File& closedRecording, const juce::String& reopenError = {});

private:
    struct LostSetup
    {
        juce::String typeName, deviceName;
        juce::AudioDeviceManager::AudioDeviceSetup setup;
    };

    void timerCallback() override { check(); }
    void watch (juce::AudioIODevice* device);
    /** Its kind and the set-up's output and input names. */
    juce::StringArray namesOf (juce::AudioIODevice* device) const;
    bool shouldRun (juce::AudioIODevice& device) const;
    void deviceLost (juce::AudioIODevice& device);
    /** Another device was opened while one is lost. */
    void otherDeviceOpened (juce::AudioIODevice& device);
    void warn (const juce::String& message);
    juce::AudioIODeviceType* findType (const juce::String& typeName);

    juce::AudioDeviceManager& deviceManager;
    DeviceLossHost& host;
    DeviceWatchdog watchdog;

    juce::AudioIODevice* watched = nullptr; // compared with the current device, never used once it has gone
    juce::StringArray watchedNames;
    bool watchedWasOpen = false;
    int looksClosed = 0; // looks in a row that found the watched device closed
    bool changingDevice = false;
    bool warningShown = false;
    std::optional<LostSetup> lost;

    JUCE_DECLARE_WEAK_REFERENCEABLE (DeviceLossHandler)
    JUCE_DECLARE_NON_COPYABLE (DeviceLossHandler)
};
}
