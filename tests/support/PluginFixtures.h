#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace zund::test
{
/** LV2 plug-ins that Debian installs: a stereo ring modulator and a synthesiser
    (mda-lv2), and a mono pass-through scope (lv2-examples). Plug-ins with scale
    points (eg-amp) would do as well, but JUCE 7.0.5's LV2 host leaks those. */
constexpr const char* stereoLv2Effect = "http://drobilla.net/plugins/mda/RingMod";
constexpr const char* lv2Instrument = "http://drobilla.net/plugins/mda/DX10";
constexpr const char* monoLv2Effect = "http://lv2plug.in/plugins/eg-scope#Mono";

/** A stereo in, stereo out processor that does nothing: the base of hand-made
    test plug-ins, which override only what they are about. */
class StubProcessor : public juce::AudioProcessor
{
public:
    StubProcessor()
        : juce::AudioProcessor (BusesProperties()
                                    .withInput ("In", juce::AudioChannelSet::stereo(), true)
                                    .withOutput ("Out", juce::AudioChannelSet::stereo(), true))
    {
    }

    void prepareToPlay (double, int) override {}
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}
    const juce::String getName() const override { return "Stub"; }
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}
    void getStateInformation (juce::MemoryBlock&) override {}
    void setStateInformation (const void*, int) override {}
};

/** An instance of the installed LV2 plug-in with the given URI, or null with
    the reason in error. Message thread. */
std::unique_ptr<juce::AudioPluginInstance> createLv2Plugin (const juce::String& uri, double sampleRate,
                                                            juce::String& error);
}
