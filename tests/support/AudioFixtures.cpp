#include "support/AudioFixtures.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace zund::test
{
namespace
{
std::unique_ptr<juce::AudioFormat> makeFormat (FileKind kind)
{
    switch (kind)
    {
        case FileKind::wav: return std::make_unique<juce::WavAudioFormat>();
        case FileKind::aiff: return std::make_unique<juce::AiffAudioFormat>();
        case FileKind::ogg: return std::make_unique<juce::OggVorbisAudioFormat>();
    }
    return nullptr;
}
}

bool writeAudioFile (const juce::File& file, FileKind kind, double sampleRate, int numChannels,
                     int bitsPerSample, juce::int64 numFrames, const SampleFunction& sample)
{
    file.deleteFile();
    auto format = makeFormat (kind);
    auto stream = file.createOutputStream();
    if (stream == nullptr)
        return false;

    const int quality = kind == FileKind::ogg ? 8 : 0;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        format->createWriterFor (stream.get(), sampleRate, (unsigned int) numChannels,
                                 kind == FileKind::ogg ? 16 : bitsPerSample, {}, quality));
    if (writer == nullptr)
        return false;
    stream.release(); // the writer owns it now

    constexpr int chunk = 8192;
    juce::AudioBuffer<float> buffer (numChannels, chunk);
    for (juce::int64 start = 0; start < numFrames; start += chunk)
    {
        const int n = (int) std::min<juce::int64> (chunk, numFrames - start);
        for (int ch = 0; ch < numChannels; ++ch)
            for (int i = 0; i < n; ++i)
                buffer.setSample (ch, i, sample (start + i, ch));
        if (! writer->writeFromAudioSampleBuffer (buffer, 0, n))
            return false;
    }
    return true;
}

float indexRampValue (juce::int64 frame, int channel, int period)
{
    const float v = (float) (frame % period) / (float) period;
    return channel == 0 ? v : -v;
}

bool writeExactWav (const juce::File& file, double sampleRate, int numChannels, int bitsPerSample,
                    juce::int64 numFrames, const std::function<int (juce::int64 frame, int channel)>& sample)
{
    // Written as left-justified integers (or float bits), without the writer's float scaling.
    file.deleteFile();
    juce::WavAudioFormat format;
    auto stream = file.createOutputStream();
    if (stream == nullptr)
        return false;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        format.createWriterFor (stream.get(), sampleRate, (unsigned int) numChannels, bitsPerSample, {}, 0));
    if (writer == nullptr)
        return false;
    stream.release();

    constexpr int chunk = 8192;
    std::vector<std::vector<int>> data ((size_t) numChannels, std::vector<int> (chunk));
    std::vector<const int*> pointers;
    for (auto& channel : data)
        pointers.push_back (channel.data());
    pointers.push_back (nullptr);

    for (juce::int64 start = 0; start < numFrames; start += chunk)
    {
        const int n = (int) std::min<juce::int64> (chunk, numFrames - start);
        for (int ch = 0; ch < numChannels; ++ch)
            for (int i = 0; i < n; ++i)
                data[(size_t) ch][(size_t) i] = bitsPerSample == 32 ? sample (start + i, ch) : sample (start + i, ch) * 65536;
        if (! writer->write (pointers.data(), n))
            return false;
    }
    return true;
}

bool writeIndexRampWav (const juce::File& file, double sampleRate, int numChannels,
                        int bitsPerSample, juce::int64 numFrames)
{
    return writeExactWav (file, sampleRate, numChannels, bitsPerSample, numFrames, [bitsPerSample] (juce::int64 frame, int ch) {
        if (bitsPerSample != 32)
            return ch == 0 ? (int) (frame % 32768) : -(int) (frame % 32768);
        const float f = indexRampValue (frame, ch);
        int bits = 0;
        std::memcpy (&bits, &f, sizeof f);
        return bits;
    });
}

SampleFunction sineSignal (double frequency, double sampleRate, float amplitude)
{
    return [=] (juce::int64 frame, int channel) {
        const auto v = amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * frequency
                                                      * (double) frame / sampleRate);
        return channel == 0 ? v : -v;
    };
}
}
