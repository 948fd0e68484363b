#include "audiofile/AudioReaderFactory.h"

#include "audiofile/MP3AudioFormat.h"
#include "audiofile/MP3Reader.h"

namespace zund
{
namespace
{
std::unique_ptr<juce::AudioFormat> createFormatForExtension (const juce::String& extension)
{
    if (extension == ".wav")
        return std::make_unique<juce::WavAudioFormat>();
    if (extension == ".aiff" || extension == ".aif")
        return std::make_unique<juce::AiffAudioFormat>();
    if (extension == ".ogg")
        return std::make_unique<juce::OggVorbisAudioFormat>();
    if (extension == ".mp3")
        return std::make_unique<MP3AudioFormat>();
    return nullptr;
}
}

std::unique_ptr<juce::AudioFormatReader> createAudioReader (const juce::File& file)
{
    // Test the name before touching the disk: a rejected file opens nothing.
    auto format = createFormatForExtension (file.getFileExtension().toLowerCase());
    if (format == nullptr || ! file.existsAsFile())
        return nullptr;

    auto stream = std::make_unique<juce::FileInputStream> (file);
    if (! stream->openedOk())
        return nullptr;

    // With deleteStreamIfOpeningFails the format deletes the stream on failure.
    return std::unique_ptr<juce::AudioFormatReader> (format->createReaderFor (stream.release(), true));
}

bool isMp3ScanRunning (const juce::AudioFormatReader* reader)
{
    // Asked every 10 ms by the fill threads: a cast, no string work.
    const auto* mp3 = dynamic_cast<const MP3Reader*> (reader);
    return mp3 != nullptr && mp3->isScanning();
}
}
