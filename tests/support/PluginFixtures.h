#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace zund::test
{
/** LV2 plug-ins that Debian installs: a stereo ring modulator (mda-lv2) and a
    mono amplifier (lv2-examples). */
constexpr const char* stereoLv2Effect = "http://drobilla.net/plugins/mda/RingMod";
constexpr const char* monoLv2Effect = "http://lv2plug.in/plugins/eg-amp";

/** An instance of the installed LV2 plug-in with the given URI, or null with
    the reason in error. Message thread. */
std::unique_ptr<juce::AudioPluginInstance> createLv2Plugin (const juce::String& uri, double sampleRate,
                                                            juce::String& error);
}
