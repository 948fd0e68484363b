#include "audiofile/AudioReaderFactory.h"
#include "support/TagFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

using namespace zund;

namespace
{
struct MadeFile
{
    const char* name;
    const char* soxOptions; // output options for sox; empty for the Ogg files
    const char* rate;
    const char* channels;
    const char* seconds;
};

// Encoded by sox (WAV, AIFF) or by oggenc from a sox WAV: the tools users' files come from.
const MadeFile madeFiles[] = {
    { "u8-mono.wav", "-b 8", "22050", "1", "1.3" },
    { "s16.wav", "-b 16", "44100", "2", "7.1" },
    { "s24.wav", "-b 24", "48000", "2", "2.2" },
    { "s32.wav", "-b 32 -e signed-integer", "44100", "2", "1.5" },
    { "f32.wav", "-b 32 -e floating-point", "44100", "2", "1.5" },
    { "s16-six.wav", "-b 16", "44100", "6", "0.8" },
    { "s8-mono.aiff", "-b 8", "11025", "1", "1.1" },
    { "s16.aiff", "-b 16", "44100", "2", "6.5" },
    { "s24.aif", "-b 24", "48000", "2", "1.2" },
    { "s32.aiff", "-b 32", "44100", "2", "1.0" },
    { "stereo.ogg", "", "44100", "2", "7.3" },
    { "mono.ogg", "", "22050", "1", "3.1" },
    { "short.ogg", "", "44100", "2", "0.05" },
};

void PrintTo (const MadeFile& made, std::ostream* out)
{
    *out << made.name;
}

juce::StringArray soxSynth (const juce::File& target, const MadeFile& made, const juce::String& options)
{
    juce::StringArray command { "sox", "-n", "-r", made.rate, "-c", made.channels };
    command.addTokens (options, " ", "");
    command.removeEmptyStrings();
    command.addArray ({ target.getFullPathName(), "synth", made.seconds, "sine", "200-9000", "pinknoise",
                        "vol", "0.7" });
    return command;
}

bool make (const juce::File& target, const MadeFile& made)
{
    if (! target.hasFileExtension ("ogg"))
        return test::runCommand (soxSynth (target, made, made.soxOptions)).succeeded();

    const auto wav = target.withFileExtension ("source.wav");
    return test::runCommand (soxSynth (wav, made, "-b 16")).succeeded()
        && test::runCommand ({ "oggenc", "-Q", "-q", "4", "-o", target.getFullPathName(), wav.getFullPathName() }).succeeded();
}

std::unique_ptr<juce::AudioFormatReader> openWithFramework (const juce::File& file)
{
    std::unique_ptr<juce::AudioFormat> format;
    if (file.hasFileExtension ("wav"))
        format = std::make_unique<juce::WavAudioFormat>();
    else if (file.hasFileExtension ("ogg"))
        format = std::make_unique<juce::OggVorbisAudioFormat>();
    else
        format = std::make_unique<juce::AiffAudioFormat>();
    return std::unique_ptr<juce::AudioFormatReader> (format->createReaderFor (new juce::FileInputStream (file), true));
}

/** Stereo frames [start, start + n) as the engine asks for them. */
std::vector<int> readStereo (juce::AudioFormatReader& reader, juce::int64 start, int n)
{
    std::vector<int> left ((size_t) n), right ((size_t) n);
    int* dest[2] = { left.data(), right.data() };
    EXPECT_TRUE (reader.read (dest, 2, start, n, true));
    left.insert (left.end(), right.begin(), right.end());
    return left;
}

class MadeFileDecoding : public ::testing::TestWithParam<MadeFile>
{
};
}

// The framework's readers are exact on well-formed files: ours must give the very same bits.
TEST_P (MadeFileDecoding, MatchesTheFrameworkReaderBitForBit)
{
    const auto& made = GetParam();
    test::TempFolder temp;
    const auto file = temp.file (made.name);
    ASSERT_TRUE (make (file, made)) << made.name;

    auto ours = createAudioReader (file);
    auto reference = openWithFramework (file);
    ASSERT_NE (ours, nullptr);
    ASSERT_NE (reference, nullptr);
    EXPECT_EQ (ours->sampleRate, reference->sampleRate);
    EXPECT_EQ (ours->numChannels, reference->numChannels);
    EXPECT_EQ (ours->usesFloatingPointData, reference->usesFloatingPointData);
    ASSERT_EQ (ours->lengthInSamples, reference->lengthInSamples);
    const auto length = ours->lengthInSamples;
    ASSERT_GT (length, 1000);

    // In order, as the peak files read; then seeking, as the track cache does.
    for (juce::int64 start = 0; start < length; start += 100000)
    {
        const int n = (int) std::min<juce::int64> (100000, length - start);
        ASSERT_EQ (readStereo (*ours, start, n), readStereo (*reference, start, n)) << "from " << start;
    }
    juce::Random random (42);
    for (int k = 0; k < 12; ++k)
    {
        const juce::int64 start = random.nextInt ((int) length);
        const int n = (int) std::min<juce::int64> (1 + random.nextInt (30000), length - start);
        ASSERT_EQ (readStereo (*ours, start, n), readStereo (*reference, start, n)) << "from " << start;
    }

    // Past the end there is nothing: silence, whatever the decoder still holds.
    const auto tail = readStereo (*ours, length - 10, 5000);
    for (size_t i = 10; i < 5000; ++i)
    {
        ASSERT_EQ (tail[i], 0) << i;
        ASSERT_EQ (tail[5000 + i], 0) << i;
    }
}

INSTANTIATE_TEST_SUITE_P (SoxAndOggenc, MadeFileDecoding, ::testing::ValuesIn (madeFiles),
                          [] (const auto& info) {
                              return juce::String (info.param.name).replaceCharacters (".-", "__").toStdString();
                          });
