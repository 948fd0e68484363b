#include "app/harness/RecordedWave.h"

#include "app/harness/SpawnedProcess.h"
#include "support/SignalMeasures.h"

namespace zund::test
{
juce::String soxInfo (const juce::File& file, const std::string& option)
{
    return juce::String (runAndCapture ({ "soxi", option, file.getFullPathName().toStdString() })).trim();
}

std::unique_ptr<juce::AudioFormatReader> wavReaderFor (const juce::File& file)
{
    juce::WavAudioFormat wav;
    return std::unique_ptr<juce::AudioFormatReader> (wav.createReaderFor (file.createInputStream().release(), true));
}

double toneIn (juce::AudioFormatReader& reader, double from, double seconds, double frequency)
{
    const auto start = (juce::int64) (from * reader.sampleRate);
    const int frames = (int) (seconds * reader.sampleRate);
    juce::AudioBuffer<float> audio (2, frames);
    reader.read (&audio, 0, frames, start, true, true);
    return toneAmplitude (audio.getReadPointer (0), frames, frequency, reader.sampleRate);
}
}
