#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** Parses the four-byte MPEG audio frame header (MPEG-1, 2 and 2.5, Layers I to III)
    at `bytes`. Returns the frame length in bytes (padding included), or 0 for an
    invalid header; on success also gives samples per frame, bitrate and sample rate.
    Free format, reserved indices and the MPEG-1 Layer II bitrate and channel-mode
    pairs that the standard forbids are invalid. */
int parseMp3FrameHeader (const juce::uint8* bytes, int& samplesPerFrame, int& kbps, int& sampleRateHz) noexcept;

/** File offset of the first place where three frame headers follow each other at
    their computed lengths, searched from the end of the leading ID3v2 tags; -1 when
    there is none, or when `stopper` (may be null) is asked to exit. Moves the stream. */
juce::int64 findFirstMp3Sync (juce::InputStream& stream, const juce::Thread* stopper);

/** Offset just past the ID3v2 tags at the start of the stream (their syncsafe
    sizes, plus the footer when flagged); 0 when it does not start with one. The
    offset may lie past the end of a cut-off file. Moves the stream. */
juce::int64 skipLeadingId3Tags (juce::InputStream& stream);

/** Reads until `numBytes` have arrived or the stream ends; returns the count read. */
int readFully (juce::InputStream& stream, void* dest, int numBytes);
}
