#include "audiofile/AudioReaderFactory.h"
#include "audiofile/BufferedAudioReader.h"
#include "audiofile/peaks/PeakFile.h"
#include "support/Mp3Fixtures.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

using namespace zund;

namespace
{
// One minute of lame-encoded audio, and longer files made of copies of its frames.
struct Mp3Files
{
    test::TempFolder temp;
    juce::File minute = temp.file ("minute.mp3");
    juce::File sixMinutes = temp.file ("six-minutes.mp3");
    juce::File hour = temp.file ("hour.mp3");

    Mp3Files()
    {
        test::writeMp3 (minute, 44100, 2, 44100 * 60, test::richSignal (44100), { "-b", "192" });
        test::writeRepeatedMp3 (minute, sixMinutes, 6);
        test::writeRepeatedMp3 (minute, hour, 60);
    }
};

const Mp3Files& files()
{
    static Mp3Files instance;
    return instance;
}

void waitForScan (const juce::AudioFormatReader& reader)
{
    while (isMp3ScanRunning (&reader))
        juce::Thread::sleep (1);
}

// Opening a one-hour file and building its frame table.
void scanOneHour (benchmark::State& state)
{
    const auto& file = files().hour;
    for (auto _ : state)
    {
        auto reader = createAudioReader (file);
        waitForScan (*reader);
        benchmark::DoNotOptimize (reader->lengthInSamples);
    }
}
BENCHMARK (scanOneHour)->Unit (benchmark::kMillisecond);

// What the buffered reader's fill thread asks for: one block, from anywhere in the track.
void readOneBlock (benchmark::State& state)
{
    auto reader = createAudioReader (files().minute);
    waitForScan (*reader);
    std::vector<int> left (BufferedAudioReader::blockSize), right (BufferedAudioReader::blockSize);
    int* dest[2] = { left.data(), right.data() };
    juce::Random random (1);
    const auto range = (int) reader->lengthInSamples - BufferedAudioReader::blockSize;
    for (auto _ : state)
        reader->read (dest, 2, random.nextInt (range), BufferedAudioReader::blockSize, true);
}
BENCHMARK (readOneBlock)->Unit (benchmark::kMillisecond);

// From load until the first block is ready to play, through the buffered reader.
void fillFirstBlock (benchmark::State& state)
{
    for (auto _ : state)
    {
        BufferedAudioReader reader;
        reader.load (files().minute.getFullPathName());
        while (! reader.isFrameCached (0))
            juce::Thread::sleep (1);
    }
}
BENCHMARK (fillFirstBlock)->Unit (benchmark::kMillisecond);

// A whole overview of a six-minute track, from scan to written cache.
void buildPeakFile (benchmark::State& state)
{
    test::ScopedProgramFolder program;
    const auto& file = files().sixMinutes;
    PeakFile peaks;
    for (auto _ : state)
    {
        PeakFile::getPeakFileFor (file).deleteFile();
        peaks.load (file);
        while (peaks.isBuilding())
            juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
    }
}
BENCHMARK (buildPeakFile)->Unit (benchmark::kMillisecond);
}
