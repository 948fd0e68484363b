#include "audiofile/mp3/MP3AudioFormat.h"

#include "audiofile/mp3/MP3Reader.h"

#include <memory>

namespace zund
{
MP3AudioFormat::MP3AudioFormat()
    : juce::AudioFormat ("MP3", juce::StringArray (".mp3"))
{
}

juce::AudioFormatReader* MP3AudioFormat::createReaderFor (juce::InputStream* sourceStream,
                                                          bool deleteStreamIfOpeningFails)
{
    auto reader = std::make_unique<MP3Reader> (sourceStream);
    if (reader->sampleRate > 0)
        return reader.release();

    if (! deleteStreamIfOpeningFails)
        reader->releaseStream();
    return nullptr;
}
}
