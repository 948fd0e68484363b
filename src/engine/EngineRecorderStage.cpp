#include "engine/Engine.h"

namespace zund
{
bool Engine::startRecorderFile (const juce::String& path, int bits)
{
    return recorder.start (path, bits);
}

// False when a write of the recording failed.
bool Engine::stopRecorderFile()
{
    return recorder.stop();
}

// Audio thread: frames for the recorder's ring.
void Engine::writeToRecorder (const float* left, const float* right, int numSamples) noexcept
{
    recorder.feed (left, right, numSamples);
}

// The recorder's header takes the device rate (its limiter gets it with the others).
void Engine::setRecorderSampleRate (double rate)
{
    recorder.setSampleRate ((int) rate);
}
}
