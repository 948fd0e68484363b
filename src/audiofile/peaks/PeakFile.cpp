#include "audiofile/peaks/PeakFile.h"

#include "audiofile/AudioReaderFactory.h"
#include "audiofile/peaks/PeakFileFormat.h"
#include "audiofile/readers/StereoBlockReading.h"
#include "common/audio/AtomicFloats.h"
#include "common/files/FileFacts.h"
#include "common/files/ProgramFolder.h"
#include "common/text/SafeStringBytes.h"
#include "common/audio/SampleConversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zund
{
namespace
{
constexpr auto relaxed = std::memory_order_relaxed;
constexpr int mp3ScanPollMilliseconds = 100;
const char* const peakFolderName = "PKFiles";
const char* const peakFileSuffix = ".pk";

struct PeakFileRegistry
{
    juce::CriticalSection lock;
    juce::Array<PeakFile*> files;
};

PeakFileRegistry& getRegistry()
{
    static PeakFileRegistry registry;
    return registry;
}

/** Min, max and level sums of the samples of one column. */
struct Column
{
    float minLeft = 0, maxLeft = 0, minRight = 0, maxRight = 0;
    double sum = 0;
    int samples = 0;

    void add (float l, float r) noexcept
    {
        sum += std::abs (l) + std::abs (r);
        minLeft = std::min (minLeft, l);
        maxLeft = std::max (maxLeft, l);
        minRight = std::min (minRight, r);
        maxRight = std::max (maxRight, r);
        ++samples;
    }
};
}

PeakFile::PeakFile()
    : juce::Thread ("PeakFileBuildThread"),
      peaks (makeZeroedFloats (arraySize)),
      averages (makeZeroedFloats (arraySize)),
      leftSamples (std::make_unique<int[]> (readBlockSize)),
      rightSamples (std::make_unique<int[]> (readBlockSize))
{
    auto& registry = getRegistry();
    const juce::ScopedLock sl (registry.lock);
    registry.files.add (this);
}

PeakFile::~PeakFile()
{
    {
        auto& registry = getRegistry();
        const juce::ScopedLock sl (registry.lock);
        registry.files.removeAllInstancesOf (this);
    }
    stopThread (-1); // a build that is stopped writes no file
}

void PeakFile::clearArrays() noexcept
{
    for (int i = 0; i < arraySize; ++i)
    {
        peaks[i].store (0.0f, relaxed);
        averages[i].store (0.0f, relaxed);
    }
}

void PeakFile::load (const juce::File& newAudioFile)
{
    stopThread (-1);
    reader.reset();

    {
        const juce::ScopedLock sl (getRegistry().lock);
        audioFile = newAudioFile;
    }

    lastWriteTime = 0;
    fileSize = 0;
    getFileTimeAndSize (audioFile, lastWriteTime, fileSize);
    peakFile = getPeakFileFor (audioFile);

    if (readPeakFile())
        return;

    reader = createAudioReader (audioFile);
    if (reader == nullptr)
        return;

    startThread (juce::Thread::Priority::low);
}

bool PeakFile::isBuilding() const
{
    return isThreadRunning();
}

bool PeakFile::readPeakFile()
{
    float peakValues[arraySize], averageValues[arraySize];
    if (! PeakFileFormat::read (peakFile, lastWriteTime, fileSize, peakValues, averageValues))
        return false;

    for (int i = 0; i < arraySize; ++i)
    {
        peaks[i].store (peakValues[i], relaxed);
        averages[i].store (averageValues[i], relaxed);
    }
    return true;
}

void PeakFile::writePeakFile()
{
    float peakValues[arraySize], averageValues[arraySize];
    for (int i = 0; i < arraySize; ++i)
    {
        peakValues[i] = peaks[i].load (relaxed);
        averageValues[i] = averages[i].load (relaxed);
    }
    // Nothing is reported when the cache cannot be written: the next load rebuilds.
    PeakFileFormat::write (peakFile, lastWriteTime, fileSize, peakValues, averageValues,
                           [this] { return threadShouldExit(); });
}

void PeakFile::run()
{
    // An MP3 has no length and delivers silence until its frames are scanned.
    while (isMp3ScanRunning (reader.get()))
    {
        if (threadShouldExit())
            return;
        wait (mp3ScanPollMilliseconds);
    }

    const auto length = reader->lengthInSamples;
    if (length <= 0)
        return;

    const double columnWidth = (double) length * 0.001;
    clearArrays();

    int filledColumns = 0;
    Column column;
    double count = 0;

    auto closeColumn = [&] {
        if (filledColumns < numColumns && column.samples > 0)
        {
            // Divided by the samples really in the column, so short tracks stay within -1..1.
            const auto mean = (float) (column.sum / column.samples * 0.5);
            const int pair = filledColumns * 2;
            peaks[pair].store (std::min (column.minLeft, column.minRight), relaxed);
            peaks[pair + 1].store (std::max (column.maxLeft, column.maxRight), relaxed);
            averages[pair].store (-mean, relaxed);
            averages[pair + 1].store (mean, relaxed);
            ++filledColumns;
        }
        column = {};
    };

    int* const left = leftSamples.get();
    int* const right = rightSamples.get();

    for (juce::int64 position = 0; position < length;)
    {
        if (threadShouldExit())
            return;

        const int n = (int) std::min<juce::int64> (readBlockSize, length - position);
        readStereoFloatBlock (*reader, left, right, position, n);

        for (int i = 0; i < n; ++i)
        {
            column.add (convertedSampleAt (left, i), convertedSampleAt (right, i));
            count += 1.0;
            if (count > columnWidth)
            {
                count -= columnWidth;
                closeColumn();
            }
        }
        position += n;
    }

    // The last column ends with the track, short of a full width.
    closeColumn();

    if (! threadShouldExit())
        writePeakFile();
}

bool PeakFile::isBusyWithFile (const juce::File& file)
{
    auto& registry = getRegistry();
    const juce::ScopedLock sl (registry.lock);
    for (auto* peakFile : registry.files)
        if (peakFile->audioFile.getFullPathName() == file.getFullPathName())
            return true;
    return false;
}

juce::File PeakFile::getPeakFileFor (const juce::File& audio)
{
    // Resolving "." and ".." first keeps every cache below the folder.
    const auto path = juce::File ("/").getChildFile (audio.getFullPathName().substring (1)).getFullPathName();
    return getApplicationFolderFile (juce::String (peakFolderName) + path + peakFileSuffix);
}

juce::File PeakFile::getAudioFileForPeakFile (const juce::File& peak)
{
    // Cut in bytes: the framework's index operations count a Latin-1
    // character of a folder name two ways, and would cut elsewhere.
    const auto prefix = getApplicationFolderFile (peakFolderName).getFullPathName().toStdString() + "/";
    const auto path = peak.getFullPathName().toStdString();
    const auto suffixLength = std::strlen (peakFileSuffix);
    if (path.size() <= prefix.size() + suffixLength || path.compare (0, prefix.size(), prefix) != 0
        || path.compare (path.size() - suffixLength, suffixLength, peakFileSuffix) != 0)
        return {};
    const auto audio = "/" + path.substr (prefix.size(), path.size() - prefix.size() - suffixLength);
    return isSafeStringBytes (audio) ? juce::File (stringOfSafeBytes (audio)) : juce::File();
}
}
