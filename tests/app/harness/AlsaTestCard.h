#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

namespace zund::test
{
/** The tests' own ALSA sound card (the module built from tests/alsa): four
    inputs carrying a 1 kHz sine of 0.5, four outputs, paced in real time,
    which a test unplugs and plugs in again as a USB card would be. Its
    definition is written into a configuration file in `folder`. */
class AlsaTestCard
{
public:
    /** How the framework's ALSA device list names it. */
    static constexpr const char* deviceName = "Zund Test Card";
    static constexpr double toneFrequency = 1000.0, toneLevel = 0.5;

    explicit AlsaTestCard (const juce::File& folder);

    /** The card's definition, as an ALSA configuration file. */
    const juce::File& getConfigurationFile() const noexcept { return configuration; }

    /** "NAME=value" entries that make alsa-lib read the system's
        configuration and then the card's (see ScopedEnvironment). */
    std::vector<std::string> environment() const;

    /** From now on every call of the card fails with -ENODEV, and it cannot
        be opened. */
    void unplug() { setState ("unplugged"); }
    void plugIn() { setState ("plugged"); }
    /** Its playback side overruns once, so that its next wait fails with
        -EPIPE; the card then plays on. */
    void overrunOnce() { setState ("xrun"); }
    /** Whether that overrun has come. */
    bool hasOverrun() const { return state.loadFileAsString().trim() == "plugged"; }

private:
    void setState (const char* word);

    juce::File state, configuration;

    JUCE_DECLARE_NON_COPYABLE (AlsaTestCard)
};
}
