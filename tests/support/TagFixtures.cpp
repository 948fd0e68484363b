#include "support/TagFixtures.h"

namespace zund::test
{
CommandResult runCommand (const juce::StringArray& command)
{
    CommandResult result;
    juce::ChildProcess process;
    if (! process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return result;
    result.output = process.readAllProcessOutput();
    if (process.waitForProcessToFinish (120000))
        result.exitCode = (int) process.getExitCode();
    return result;
}

bool writeShortMp3 (const juce::File& mp3, double seconds, const juce::StringArray& lameOptions)
{
    const auto wav = mp3.getSiblingFile (mp3.getFileNameWithoutExtension() + "-source.wav");
    if (! runCommand ({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav.getFullPathName(),
                        "synth", juce::String (seconds), "pinknoise" }).succeeded())
        return false;

    juce::StringArray command { "lame", "--quiet" };
    command.addArray (lameOptions);
    command.add (wav.getFullPathName());
    command.add (mp3.getFullPathName());
    const bool ok = runCommand (command).succeeded();
    wav.deleteFile();
    return ok && mp3.existsAsFile();
}

bool tagWithEyeD3 (const juce::File& file, const juce::StringArray& options)
{
    juce::StringArray command { "eyeD3", "-Q", "--no-color", "--no-config" };
    command.addArray (options);
    command.add (file.getFullPathName());
    return runCommand (command).succeeded();
}

juce::String listWithEyeD3 (const juce::File& file)
{
    return runCommand ({ "eyeD3", "--no-color", "--no-config", "-v", file.getFullPathName() }).output;
}

bool writeOgg (const juce::File& ogg, double seconds, const juce::StringArray& comments, int serial)
{
    const auto wav = ogg.getSiblingFile (ogg.getFileNameWithoutExtension() + "-source.wav");
    if (! runCommand ({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav.getFullPathName(),
                        "synth", juce::String (seconds), "pinknoise", "sine", "660" }).succeeded())
        return false;

    juce::StringArray command { "oggenc", "-Q", "-s", juce::String (serial) };
    for (const auto& comment : comments)
    {
        command.add ("-c");
        command.add (comment);
    }
    command.addArray ({ "-o", ogg.getFullPathName(), wav.getFullPathName() });
    const bool ok = runCommand (command).succeeded();
    wav.deleteFile();
    return ok && ogg.existsAsFile();
}

juce::StringArray listVorbisComments (const juce::File& ogg)
{
    const auto result = runCommand ({ "vorbiscomment", "-l", "-R", ogg.getFullPathName() });
    return juce::StringArray::fromLines (result.output.trimEnd());
}

juce::MemoryBlock decodeOggWithOggdec (const juce::File& ogg)
{
    const auto raw = ogg.getSiblingFile (ogg.getFileNameWithoutExtension() + "-decoded.raw");
    juce::MemoryBlock samples;
    if (runCommand ({ "oggdec", "-Q", "-R", "-o", raw.getFullPathName(), ogg.getFullPathName() }).succeeded())
        raw.loadFileAsData (samples);
    raw.deleteFile();
    return samples;
}
}
