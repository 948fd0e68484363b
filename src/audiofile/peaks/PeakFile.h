#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <atomic>
#include <memory>

namespace zund
{
/** The overview of one whole track: 1000 columns of peak (minimum, maximum) and
    average (-mean, +mean) pairs, built on the object's own thread by reading the
    track once, and cached as a ".pk" file under "PKFiles" in the program folder.

    `load` runs on the message thread; the build thread first waits for an MP3's
    frame scan, then writes the arrays column by column while views read them (a
    partly built overview shows). Every live PeakFile is listed in a process-wide
    registry for `isBusyWithFile`. */
class PeakFile : private juce::Thread
{
public:
    static constexpr int numColumns = 1000;
    static constexpr int arraySize = numColumns * 2;

    PeakFile();
    ~PeakFile() override;

    /** Shows `audioFile`: from its ".pk" cache when that is current, otherwise by a
        build (for an MP3 once its frame scan has ended). A track that cannot be
        opened leaves the arrays as they were. */
    void load (const juce::File& audioFile);

    /** (minimum, maximum) per column, arraySize floats. */
    const std::atomic<float>* getPeakArray() const noexcept { return peaks.get(); }
    /** (-mean, +mean) per column, arraySize floats. */
    const std::atomic<float>* getAverageArray() const noexcept { return averages.get(); }

    /** True while the build thread runs (waiting for an MP3 scan or building). */
    bool isBuilding() const;

    /** True when any live PeakFile holds this audio file, building or not. */
    static bool isBusyWithFile (const juce::File& audioFile);

    /** "PKFiles/<absolute path without its leading '/'>.pk" in the program folder. */
    static juce::File getPeakFileFor (const juce::File& audioFile);

    /** The audio file a peak file stands for; an invalid File for a file that is
        not a ".pk" below "PKFiles". */
    static juce::File getAudioFileForPeakFile (const juce::File& peakFile);

private:
    void run() override;
    bool readPeakFile();
    void writePeakFile();
    void clearArrays() noexcept;

    static constexpr int readBlockSize = 100000;

    std::unique_ptr<std::atomic<float>[]> peaks;
    std::unique_ptr<std::atomic<float>[]> averages;
    std::unique_ptr<int[]> leftSamples;
    std::unique_ptr<int[]> rightSamples;

    juce::File audioFile; // changed under the registry lock
    juce::int64 lastWriteTime = 0;
    juce::int64 fileSize = 0;
    juce::File peakFile;
    std::unique_ptr<juce::AudioFormatReader> reader;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PeakFile)
};
}
