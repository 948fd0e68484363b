#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

namespace zund
{
/** The "MP3" format (".mp3"): reading only, through MP3Reader. */
class MP3AudioFormat : public juce::AudioFormat
{
public:
    MP3AudioFormat();
    ~MP3AudioFormat() override = default;

    juce::Array<int> getPossibleSampleRates() override { return {}; }
    juce::Array<int> getPossibleBitDepths() override { return {}; }
    bool canDoStereo() override { return true; }
    bool canDoMono() override { return false; }
    bool isCompressed() override { return true; }
    juce::StringArray getQualityOptions() override { return {}; }

    /** An MP3Reader, or null when the stream holds no MP3 frames (the stream is then
        deleted only when asked). */
    juce::AudioFormatReader* createReaderFor (juce::InputStream* sourceStream,
                                              bool deleteStreamIfOpeningFails) override;

    juce::AudioFormatWriter* createWriterFor (juce::OutputStream*, double, unsigned int, int,
                                              const juce::StringPairArray&, int) override
    {
        return nullptr;
    }

    using juce::AudioFormat::createWriterFor;
};
}
