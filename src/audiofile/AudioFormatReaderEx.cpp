#include "audiofile/AudioFormatReaderEx.h"

namespace zund
{
AudioFormatReaderEx::AudioFormatReaderEx (juce::InputStream* sourceStream, const juce::String& formatName)
    : juce::AudioFormatReader (sourceStream, formatName)
{
}
}
