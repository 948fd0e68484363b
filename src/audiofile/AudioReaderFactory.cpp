#include "audiofile/AudioReaderFactory.h"

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
    // ".mp3": the program's own MP3 format is registered here once it exists.
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
    if (reader->getFormatName().toLowerCase() != "mp3")
        return false;
    return false; // the MP3 reader's scanning flag is asked here once it exists
}
}
