#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>
#include <string>

namespace zund::test
{
// Reading back a WAV file the program recorded.

/** What soxi (an independent reader) says of the file for `option`, such as
    "-s" (frames) or "-r" (rate). */
juce::String soxInfo (const juce::File& file, const std::string& option);

/** The file as the framework's WAV reader reads it (what its header counts);
    null when it is no WAV file. */
std::unique_ptr<juce::AudioFormatReader> wavReaderFor (const juce::File& file);

/** The amplitude of `frequency` on the left side of `seconds` of the file,
    from `from` seconds on. */
double toneIn (juce::AudioFormatReader& reader, double from, double seconds, double frequency);
}
