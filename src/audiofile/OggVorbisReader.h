#pragma once

#include "audiofile/AudioFormatReaderEx.h"

#include <memory>

struct OggVorbis_File;

namespace zund
{
/** Reads Ogg Vorbis tracks through Debian's libvorbisfile, over the reader's own
    input stream, as float data.

    Every read stays inside the track: frames before 0 and past the end are
    silence, a seek that fails or lands elsewhere gives silence, and so does
    whatever the decoder cannot deliver; a read never returns audio from wherever
    the decoder happened to stand. A stream whose parts differ in channel count
    or rate, or whose length is more than its bytes could code, is refused. One
    thread at a time. */
class OggVorbisReader : public AudioFormatReaderEx
{
public:
    /** A reader over the stream, which it then owns; null when the stream is not
        a playable Ogg Vorbis track (the stream is then deleted). */
    static std::unique_ptr<OggVorbisReader> open (juce::InputStream* stream);

    ~OggVorbisReader() override;

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    explicit OggVorbisReader (juce::InputStream* stream);
    bool openTrack();
    bool seekTo (juce::int64 frame);

    std::unique_ptr<OggVorbis_File> track;
    bool trackOpen = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OggVorbisReader)
};
}
