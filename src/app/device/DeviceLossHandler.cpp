#include "app/device/DeviceLossHandler.h"

#include "app/device/DeviceLossHost.h"

namespace zund
{
DeviceLossHandler::DeviceLossHandler (juce::AudioDeviceManager& manager, DeviceLossHost& hostToUse,
                                      DeviceWatchdog::Clock clock)
    : deviceManager (manager), host (hostToUse), watchdog (std::move (clock))
{
}

DeviceLossHandler::~DeviceLossHandler()
{
    stopTimer();
}

void DeviceLossHandler::start()
{
    watch (deviceManager.getCurrentAudioDevice());
    startTimer (checkIntervalMs);
}

void DeviceLossHandler::watch (juce::AudioIODevice* device)
{
    watched = device;
    watchedNames = namesOf (device);
    watchedWasOpen = device != nullptr && device->isOpen();
    looksClosed = 0;
    watchdog.restart();
}

juce::StringArray DeviceLossHandler::namesOf (juce::AudioIODevice* device) const
{
    if (device == nullptr)
        return {};
    const auto setup = deviceManager.getAudioDeviceSetup();
    return { device->getTypeName(), setup.outputDeviceName, setup.inputDeviceName };
}

bool DeviceLossHandler::shouldRun (juce::AudioIODevice& device) const
{
    // Not the device's own isPlaying(): the framework's ALSA device says no
    // for good after any error its thread meets (an xrun it plays on after
    // included), and says nothing when that thread ends with the card gone.
    // A JACK device without a connected port is called for no block at all.
    return device.isOpen() && host.isAudioCallbackStarted()
        && ! (device.getActiveInputChannels().isZero() && device.getActiveOutputChannels().isZero());
}

void DeviceLossHandler::check()
{
    if (host.isQuitting() || changingDevice)
        return;

    // A new device may take the old one's place in memory: its names tell them apart.
    auto* device = deviceManager.getCurrentAudioDevice();
    if (device != watched || namesOf (device) != watchedNames)
    {
        // Another device, or none: a choice, not a loss.
        watch (device);
        if (device != nullptr && lost)
            otherDeviceOpened (*device);
        return;
    }
    if (device == nullptr)
        return;

    // The framework closes a JACK device whose server shut down (on JACK's
    // thread); nothing else closes the device the program runs without
    // replacing it. Seen at two looks, so that the closing has long left
    // the device before it goes.
    if (device->isOpen())
    {
        watchedWasOpen = true;
        looksClosed = 0;
    }
    else if (watchedWasOpen)
    {
        ++looksClosed;
    }
    const bool closedUnderUs = looksClosed >= 2;

    DeviceWatchdog::Observation seen;
    seen.blockProgress = host.getBlockProgress();
    seen.stops = host.getDeviceStopCount();
    seen.deviceShouldRun = shouldRun (*device);
    seen.quitting = host.isQuitting();
    seen.changingDevice = changingDevice;
    if (watchdog.blocksStopped (seen) || closedUnderUs)
        deviceLost (*device);
}

void DeviceLossHandler::deviceLost (juce::AudioIODevice& device)
{
    lost = LostSetup { device.getTypeName(), device.getName(), deviceManager.getAudioDeviceSetup() };
    const auto recording = host.endRecording();

    // The dead device goes (a JACK device needs a new connection to its
    // server anyway): the preferences then show that none is open, and a
    // choice there opens the device afresh.
    {
        const juce::ScopedValueSetter<bool> ourChange (changingDevice, true);
        deviceManager.closeAudioDevice();
    }
    watch (nullptr);
    deviceManager.sendChangeMessage();

    warn (describeLoss (lost->deviceName, lost->typeName, recording));
}

void DeviceLossHandler::otherDeviceOpened (juce::AudioIODevice& device)
{
    // The preferences' device selector chose the lost device on one side and
    // cleared the other (it shows none after the loss): the whole lost
    // set-up comes back. Another device leaves the lost one behind.
    const auto now = deviceManager.getAudioDeviceSetup();
    const auto& before = lost->setup;
    const bool sameOutput = now.outputDeviceName.isNotEmpty() && now.outputDeviceName == before.outputDeviceName;
    const bool sameInput = now.inputDeviceName.isNotEmpty() && now.inputDeviceName == before.inputDeviceName;
    const bool wholeSetUpBack = now.outputDeviceName == before.outputDeviceName
                             && now.inputDeviceName == before.inputDeviceName;
    if (device.getTypeName() == lost->typeName && (sameOutput || sameInput) && ! wholeSetUpBack)
        reopen();
    else
        lost.reset();
}

juce::AudioIODeviceType* DeviceLossHandler::findType (const juce::String& typeName)
{
    for (auto* type : deviceManager.getAvailableDeviceTypes())
        if (type->getTypeName() == typeName)
            return type;
    return nullptr;
}

juce::String DeviceLossHandler::reopen()
{
    if (! lost)
        return {};

    juce::String error;
    {
        const juce::ScopedValueSetter<bool> ourChange (changingDevice, true);
        if (deviceManager.getCurrentAudioDeviceType() != lost->typeName)
            deviceManager.setCurrentAudioDeviceType (lost->typeName, false);
        if (auto* type = findType (lost->typeName))
            type->scanForDevices(); // the device may be back under the same name
        error = deviceManager.setAudioDeviceSetup (lost->setup, true);
        if (error.isEmpty() && deviceManager.getCurrentAudioDevice() == nullptr)
            error = "No such device: " + lost->deviceName;
    }
    watch (deviceManager.getCurrentAudioDevice());

    if (error.isNotEmpty())
    {
        warn (describeLoss (lost->deviceName, lost->typeName, {}, error));
        return error;
    }
    lost.reset();
    return {};
}

void DeviceLossHandler::refreshDeviceLists()
{
    if (! lost)
        return;
    if (auto* type = findType (lost->typeName))
        type->scanForDevices();
    deviceManager.sendChangeMessage();
}

void DeviceLossHandler::warn (const juce::String& message)
{
    // One at a time: its answer reopens the set-up lost last.
    if (warningShown)
        return;
    warningShown = true;
    host.showDeviceLoss (message, [self = juce::WeakReference<DeviceLossHandler> (this)] (bool reopenNow) {
        if (self == nullptr)
            return;
        self->warningShown = false;
        if (reopenNow)
            self->reopen();
    });
}

juce::String DeviceLossHandler::describeLoss (const juce::String& deviceName, const juce::String& typeName,
                                              const juce::File& closedRecording, const juce::String& reopenError)
{
    juce::String text;
    text << "The audio device \"" << deviceName << "\" (" << typeName << ") has stopped.";
    if (reopenError.isNotEmpty())
        text << "\n\nIt could not be reopened:\n" << reopenError;
    if (closedRecording != juce::File())
        text << "\n\nThe recording was closed; it holds everything up to the loss:\n"
             << closedRecording.getFullPathName();
    text << "\n\nReopen the device with the same set-up? It can also be chosen again in the Preferences.";
    return text;
}
}
