#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

namespace zund
{
/** Gives the device manager the framework's kinds of audio device, each
    looked for once, with JACK before ALSA. A fresh start (no device saved)
    opens the first kind that finds a device: a running JACK server is then
    what plays, as a DJ who started one expects. After ALSA, it would be one
    of the devices alsa-lib's plug-ins list (its bridge into JACK with two
    channels, a sound server, a rate converter) even though JACK runs. Without
    a JACK server, JACK finds nothing and ALSA opens as before. */
void addAudioDeviceTypes (juce::AudioDeviceManager& deviceManager);
}
