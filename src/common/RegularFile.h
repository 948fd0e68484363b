#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** True when the path names a regular file (links followed). A named pipe,
    socket or device is none: opening one may wait for ever, so whatever reads
    song files asks this first. Never opens the file. */
bool isRegularFile (const juce::File& file);
}
