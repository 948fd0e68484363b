#include "engine/Engine.h"

namespace zund
{
// Starts the Audio2DiskRecorder on the path; until it is wired in no file is
// written, so the start reports failure.
bool Engine::startRecorderFile (const juce::String& path, int bits)
{
    juce::ignoreUnused (path, bits);
    return false;
}

void Engine::stopRecorderFile()
{
}

// Audio thread: frames for the recorder's ring.
void Engine::writeToRecorder (const float* left, const float* right, int numSamples) noexcept
{
    juce::ignoreUnused (left, right, numSamples);
}

void Engine::setRecorderSampleRate (double rate)
{
    juce::ignoreUnused (rate);
}
}
