#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

namespace zund
{
/** Base of the program's own track readers (MP3; WAV, AIFF and Ogg Vorbis through
    libsndfile): a framework reader over a stream it owns, named by its format. */
class AudioFormatReaderEx : public juce::AudioFormatReader
{
public:
    AudioFormatReaderEx (juce::InputStream* sourceStream, const juce::String& formatName);
    ~AudioFormatReaderEx() override = default;

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override = 0;
};
}
