#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

namespace zund
{
/** Opens a track by its extension (".wav", ".aiff"/".aif", ".ogg", ".mp3").
    Null for a missing file, an unsupported extension or a file the format
    rejects; nothing stays open then. */
std::unique_ptr<juce::AudioFormatReader> createAudioReader (const juce::File& file);

/** True while an MP3 reader is still scanning its frames; false for every
    other reader. The reader must not be null. */
bool isMp3ScanRunning (const juce::AudioFormatReader* reader);
}
