#include "app/harness/FakeAudioDevice.h"

#include "app/harness/FakeAudioDeviceType.h"

#include <vector>

namespace zund::test
{
FakeAudioDevice::FakeAudioDevice (FakeAudioDeviceType& typeToUse, const juce::String& output, const juce::String& input)
    : juce::AudioIODevice (output.isNotEmpty() ? output : input, FakeAudioDeviceType::typeName),
      outputName (output),
      inputName (input),
      type (typeToUse),
      rate (typeToUse.rate)
{
}

FakeAudioDevice::~FakeAudioDevice()
{
    close();
    type.deviceDeleted (*this);
}

juce::StringArray FakeAudioDevice::getOutputChannelNames()
{
    return outputName.isEmpty() ? juce::StringArray() : juce::StringArray { "out 1", "out 2" };
}

juce::StringArray FakeAudioDevice::getInputChannelNames()
{
    return inputName.isEmpty() ? juce::StringArray() : juce::StringArray { "in 1", "in 2" };
}

juce::String FakeAudioDevice::open (const juce::BigInteger& inputs, const juce::BigInteger& outputs, double, int)
{
    close();
    for (const auto& name : { outputName, inputName })
        if (name.isNotEmpty() && ! type.present.contains (name))
            return "\"" + name + "\" is not there";
    activeInputs = inputs;
    activeInputs.setRange (getInputChannelNames().size(), 256, false);
    activeOutputs = outputs;
    activeOutputs.setRange (getOutputChannelNames().size(), 256, false);
    opened = true;
    errorMet = false;
    return {};
}

void FakeAudioDevice::close()
{
    stop();
    opened = false;
}

void FakeAudioDevice::start (juce::AudioIODeviceCallback* newCallback)
{
    if (! opened || newCallback == callback)
        return;
    if (newCallback != nullptr)
        newCallback->audioDeviceAboutToStart (this);
    auto* old = callback;
    callback = newCallback;
    if (old != nullptr)
        old->audioDeviceStopped();
}

void FakeAudioDevice::deliverBlocks (int count)
{
    std::vector<float> samples (4 * (size_t) blockSize);
    const float* inputs[] = { samples.data(), samples.data() + blockSize };
    float* outputs[] = { samples.data() + 2 * blockSize, samples.data() + 3 * blockSize };
    for (int b = 0; b < count && callback != nullptr; ++b)
        callback->audioDeviceIOCallbackWithContext (inputs, 2, outputs, 2, blockSize, {});
}
}
