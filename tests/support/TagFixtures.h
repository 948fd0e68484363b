#pragma once

#include <juce_core/juce_core.h>

namespace zund::test
{
/** Exit code and standard output (with standard error) of a command. */
struct CommandResult
{
    int exitCode = -1;
    juce::String output;

    bool succeeded() const noexcept { return exitCode == 0; }
};

CommandResult runCommand (const juce::StringArray& command);

/** A short stereo MP3 of noise (through sox and lame); `lameOptions` as for lame. */
bool writeShortMp3 (const juce::File& mp3, double seconds, const juce::StringArray& lameOptions = { "-b", "128" });

/** Runs Debian's eyeD3 on the file with these options (quietly, without touching
    the file's time). */
bool tagWithEyeD3 (const juce::File& file, const juce::StringArray& options);

/** eyeD3's verbose listing of the file's tag (version line, texts, frame list). */
juce::String listWithEyeD3 (const juce::File& file);

/** A short stereo Ogg Vorbis file (noise on the left, a tone on the right) from oggenc, with these "KEY=value" comments and
    this stream serial number. */
bool writeOgg (const juce::File& ogg, double seconds, const juce::StringArray& comments, int serial = 1);

/** The comments as `vorbiscomment -l` lists them, one per line. */
juce::StringArray listVorbisComments (const juce::File& ogg);

/** The whole file decoded by oggdec to raw 16-bit samples; empty on failure. */
juce::MemoryBlock decodeOggWithOggdec (const juce::File& ogg);
}
