#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** Stream access for the C decoders' I/O callbacks, which take positions and
    sizes from the file they decode: nothing here overflows or reads past what
    the caller gave room for. */

/** Moves the stream to `offset` from SEEK_SET, SEEK_CUR or SEEK_END; the new
    position, or -1 for an impossible target. */
juce::int64 seekStream (juce::InputStream& stream, juce::int64 offset, int whence);

/** Reads until `numBytes` have arrived or the stream ends; the count read. */
juce::int64 readStream (juce::InputStream& stream, void* dest, juce::int64 numBytes);
}
