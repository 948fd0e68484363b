#pragma once

#include "audiofile/readers/TrackFileReader.h"

#include <memory>

struct OggVorbis_File;

namespace zund
{
/** Reads Ogg Vorbis tracks through Debian's libvorbisfile, over the reader's own
    input stream, as float data; every read stays inside the track (see
    TrackFileReader). A stream whose parts differ in channel count or rate, that
    interleaves streams or has a set-up header the decoder cannot use (see
    isSafeOggChain), or whose length is more than its bytes could code, is
    refused. One thread at a time. */
class OggVorbisReader : public TrackFileReader
{
public:
    /** A reader over the stream, which it then owns; null when the stream is not
        a playable Ogg Vorbis track (the stream is then deleted). */
    static std::unique_ptr<OggVorbisReader> open (juce::InputStream* stream);

    ~OggVorbisReader() override;

private:
    explicit OggVorbisReader (juce::InputStream* stream);
    bool openTrack();
    bool seekTo (juce::int64 frame) override;
    int readFrames (int* const* dest, int numDest, int offset, int count) override;

    /** Notes a result that tells of a decoder that failed to set up. */
    void noteSetupFailure (long result) noexcept;

    std::unique_ptr<OggVorbis_File> track;
    bool trackOpen = false;
    bool setupFailed = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OggVorbisReader)
};
}
