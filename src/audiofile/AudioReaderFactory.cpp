#include "audiofile/AudioReaderFactory.h"

#include "audiofile/mp3/MP3AudioFormat.h"
#include "audiofile/mp3/MP3Reader.h"
#include "audiofile/readers/OggVorbisReader.h"
#include "audiofile/readers/SndFileReader.h"
#include "common/files/AudioFileTypes.h"

#include <optional>

namespace zund
{
namespace
{
enum class TrackKind { wav, aiff, ogg, mp3 };

std::optional<TrackKind> kindForExtension (const juce::String& extension)
{
    if (extension == ".wav")
        return TrackKind::wav;
    if (extension == ".aiff" || extension == ".aif")
        return TrackKind::aiff;
    if (extension == ".ogg")
        return TrackKind::ogg;
    if (extension == ".mp3")
        return TrackKind::mp3;
    return std::nullopt;
}

juce::AudioFormatReader* openTrack (TrackKind kind, juce::InputStream* stream)
{
    // Each takes the stream over and deletes it when the file is rejected.
    switch (kind)
    {
        case TrackKind::wav: return SndFileReader::open (stream, SndFileContainer::wav).release();
        case TrackKind::aiff: return SndFileReader::open (stream, SndFileContainer::aiff).release();
        case TrackKind::ogg: return OggVorbisReader::open (stream).release();
        case TrackKind::mp3: return MP3AudioFormat().createReaderFor (stream, true);
    }
    delete stream;
    return nullptr;
}
}

std::unique_ptr<juce::AudioFormatReader> createAudioReader (const juce::File& file)
{
    // Test the name before touching the disk: a rejected file opens nothing.
    const auto kind = kindForExtension (getPathExtension (file.getFullPathName()).toLowerCase());
    if (! kind.has_value() || ! file.existsAsFile())
        return nullptr;

    auto stream = std::make_unique<juce::FileInputStream> (file);
    if (! stream->openedOk())
        return nullptr;

    return std::unique_ptr<juce::AudioFormatReader> (openTrack (*kind, stream.release()));
}

bool isMp3ScanRunning (const juce::AudioFormatReader* reader)
{
    // Asked every 10 ms by the fill threads: a cast, no string work.
    const auto* mp3 = dynamic_cast<const MP3Reader*> (reader);
    return mp3 != nullptr && mp3->isScanning();
}
}
