#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <optional>

namespace zund::test
{
/** LV2 plug-ins that Debian installs: a stereo ring modulator and a synthesiser
    (mda-lv2), and a mono pass-through scope (lv2-examples). Plug-ins with scale
    points (eg-amp) would do as well, but JUCE 7.0.5's LV2 host leaks those. */
constexpr const char* stereoLv2Effect = "http://drobilla.net/plugins/mda/RingMod";
constexpr const char* lv2Instrument = "http://drobilla.net/plugins/mda/DX10";
constexpr const char* monoLv2Effect = "http://lv2plug.in/plugins/eg-scope#Mono";

/** The description of the installed LV2 plug-in with the given URI, as a scan
    finds it; nothing when it is not installed. */
std::optional<juce::PluginDescription> describeLv2Plugin (const juce::String& uri);

/** An instance of the installed LV2 plug-in with the given URI, or null with
    the reason in error. Message thread. */
std::unique_ptr<juce::AudioPluginInstance> createLv2Plugin (const juce::String& uri, double sampleRate,
                                                            juce::String& error);
}
