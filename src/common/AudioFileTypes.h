#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** True for ".mp3", ".wav", ".aiff", ".aif" and ".ogg", in any letter case. */
bool isSupportedAudioExtension (const juce::String& extensionWithDot);

/** A file the program can play: not a directory, with a supported extension.
    Existence is not tested. */
bool isSupportedAudioFile (const juce::File& file);
}
