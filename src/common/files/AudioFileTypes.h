#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** True for ".mp3", ".wav", ".aiff", ".aif" and ".ogg", in any letter case. */
bool isSupportedAudioExtension (const juce::String& extensionWithDot);

/** The extension, with its dot, of the last name in the path, found in its
    bytes: the framework's own answer goes wrong for a name that is not UTF-8
    (a Latin-1 "caf\xe9.mp3" gives "p3"). Empty when the name has no dot, or
    when the extension could not be held in a string (isSafeStringBytes). */
juce::String getPathExtension (const juce::String& path);

/** isSupportedAudioExtension of getPathExtension, without making strings (for
    walks over half a million paths). */
bool hasSupportedAudioExtension (const juce::String& path) noexcept;
bool hasSupportedAudioExtension (const char* pathBytes) noexcept;

/** A file the program can play: not a directory, with a supported extension.
    Existence is not tested. */
bool isSupportedAudioFile (const juce::File& file);
}
