#include "support/Mp3Fixtures.h"

#include <cmath>
#include <cstring>

namespace zund::test
{
namespace
{
bool runTool (const juce::StringArray& command)
{
    juce::ChildProcess process;
    if (! process.start (command, juce::ChildProcess::wantStdErr))
        return false;
    process.readAllProcessOutput();
    return process.waitForProcessToFinish (300000) && process.getExitCode() == 0;
}

bool encodeThroughWav (const juce::File& target, double sampleRate, int numChannels, juce::int64 numFrames,
                       const SampleFunction& sample, juce::StringArray command)
{
    const auto wav = target.getSiblingFile (target.getFileNameWithoutExtension() + "-source.wav");
    if (! writeAudioFile (wav, FileKind::wav, sampleRate, numChannels, 16, numFrames, sample))
        return false;

    command.set (command.indexOf ("{in}"), wav.getFullPathName());
    command.set (command.indexOf ("{out}"), target.getFullPathName());
    target.deleteFile();
    const bool ok = runTool (command);
    wav.deleteFile();
    return ok && target.existsAsFile();
}
}

bool writeMp3 (const juce::File& mp3, double sampleRate, int numChannels, juce::int64 numFrames,
               const SampleFunction& sample, const juce::StringArray& lameOptions)
{
    juce::StringArray command { "lame", "--quiet" };
    command.addArray (lameOptions);
    command.add ("{in}");
    command.add ("{out}");
    return encodeThroughWav (mp3, sampleRate, numChannels, numFrames, sample, command);
}

bool writeMp2 (const juce::File& target, double sampleRate, int numChannels, juce::int64 numFrames,
               const SampleFunction& sample)
{
    return encodeThroughWav (target, sampleRate, numChannels, numFrames, sample,
                             { "sox", "{in}", "-t", "mp2", "{out}" });
}

SampleFunction richSignal (double sampleRate)
{
    return [sampleRate] (juce::int64 frame, int channel) {
        const double t = (double) frame / sampleRate;
        const double twoPi = 2.0 * juce::MathConstants<double>::pi;
        // A hash of the frame number gives noise that does not depend on read order.
        auto h = (juce::uint32) (frame * 2654435761u + (juce::uint32) channel * 40503u);
        h ^= h >> 15;
        h *= 2246822519u;
        h ^= h >> 13;
        const double noise = (double) (h & 0xffff) / 65536.0 - 0.5;
        const double tone = channel == 0 ? std::sin (twoPi * 441.3 * t) : std::sin (twoPi * 1234.5 * t + 1.0);
        return (float) (0.4 * tone + 0.2 * std::sin (twoPi * 97.1 * t) + 0.1 * noise);
    };
}

std::vector<juce::int16> decodeWithMpg123 (const juce::File& mp3)
{
    const auto raw = mp3.getSiblingFile (mp3.getFileNameWithoutExtension() + "-mpg123.raw");
    raw.deleteFile();
    if (! runTool ({ "mpg123", "-q", "--no-gapless", "--no-infoframe", "--stereo", "-e", "s16",
                     "-O", raw.getFullPathName(), mp3.getFullPathName() }))
        return {};

    juce::MemoryBlock data;
    raw.loadFileAsData (data);
    raw.deleteFile();
    std::vector<juce::int16> samples (data.getSize() / 2);
    std::memcpy (samples.data(), data.getData(), samples.size() * 2);
    return samples;
}

juce::MemoryBlock makeMpegFrame (juce::uint8 b1, juce::uint8 b2, juce::uint8 b3, int length,
                                 const juce::MemoryBlock& body)
{
    juce::MemoryBlock frame ((size_t) length, true);
    auto* bytes = static_cast<juce::uint8*> (frame.getData());
    bytes[0] = 0xff;
    bytes[1] = b1;
    bytes[2] = b2;
    bytes[3] = b3;
    if (body.getSize() > 0)
        std::memcpy (bytes + 4, body.getData(), std::min (body.getSize(), (size_t) length - 4));
    return frame;
}

bool writeRepeatedMp3 (const juce::File& source, const juce::File& target, int repeats)
{
    juce::MemoryBlock data;
    if (! source.loadFileAsData (data))
        return false;
    target.deleteFile();
    juce::FileOutputStream out (target);
    if (! out.openedOk())
        return false;
    for (int i = 0; i < repeats; ++i)
        out.write (data.getData(), data.getSize());
    out.flush();
    return out.getStatus().wasOk();
}
}
