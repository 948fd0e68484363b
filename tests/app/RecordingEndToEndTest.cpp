// Recording in the real program: the user switches the record button on,
// confirms the main output in the source chooser, names the file in the file
// chooser, lets the mix play and switches the button off again. The file holds
// what the main output played, also when the program is killed meanwhile or
// the disk fills up.

#include "app/flows/RecordingSteps.h"
#include "app/harness/EndToEndTest.h"
#include "engine/recorder/Audio2DiskRecorder.h"
#include "support/SignalMeasures.h"
#include "ui/panels/ControlIds.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <sys/mount.h>
#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
constexpr double toneFrequency = 440.0;

class RecordingByUser : public test::EndToEndTest
{
protected:
    /** The program plays a tone on channel 1 (THRU on deck 1's input). */
    void startWithToneOnMain()
    {
        writePreferences (test::RoutingSetup::everyPairInUse());
        startProgram();
        ASSERT_TRUE (waitForWindow());
        ASSERT_TRUE (waitForProgramPorts());
        ASSERT_TRUE (connectDeck (0, 1));
        jack->source (0).playTone (toneFrequency, 0.25f);
        const auto thru = control (ControlIds::of (0, ControlIds::thru));
        input->click (window->id, thru.getCentreX(), thru.getCentreY());
    }

    /** The user switches recording on, confirms the main output and types
        the file's name without an extension. */
    void startRecordingAs (const juce::File& typed)
    {
        test::RecordingSteps steps (*x, *input, *window, layout());
        ASSERT_TRUE (steps.pressRecordButton());
        ASSERT_TRUE (steps.recordMainOutputInto (typed));
    }

    std::optional<test::WindowInfo> waitForDialog (const std::string& title)
    {
        std::optional<test::WindowInfo> dialog;
        test::waitUntil ([&] { return (dialog = x->findWindow (title)).has_value(); }, 10s);
        return dialog;
    }

    /** The frames the file's header counts (as sox reads it), -1 when unreadable. */
    static juce::int64 framesSoxReads (const juce::File& file)
    {
        const auto frames = test::runAndCapture ({ "soxi", "-s", file.getFullPathName().toStdString() });
        return frames.empty() ? -1 : juce::String (frames).trim().getLargeIntValue();
    }

    /** The tone's amplitude in the middle of what the file's header counts. */
    static double toneInFile (const juce::File& file)
    {
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file.createInputStream().release(), true));
        if (reader == nullptr || reader->lengthInSamples < 4)
            return 0.0;
        const int frames = (int) reader->lengthInSamples;
        juce::AudioBuffer<float> audio (2, frames);
        reader->read (&audio, 0, frames, 0, true, true);
        return test::toneAmplitude (audio.getReadPointer (0) + frames / 4, frames / 2, toneFrequency, reader->sampleRate);
    }
};

/** A small file system of its own at `folder` for as long as it lives (root
    with the right to mount only; `mounted` says whether it could). */
struct SmallFileSystem
{
    SmallFileSystem (const juce::File& where, int megabytes) : folder (where)
    {
        folder.createDirectory();
        const auto options = "size=" + std::to_string (megabytes) + "m";
        mounted = mount ("tmpfs", folder.getFullPathName().toRawUTF8(), "tmpfs", 0, options.c_str()) == 0;
        if (! mounted)
            error = std::strerror (errno);
    }
    ~SmallFileSystem()
    {
        if (mounted)
            umount2 (folder.getFullPathName().toRawUTF8(), MNT_DETACH);
    }

    juce::File folder;
    bool mounted = false;
    std::string error;
};
}

TEST_F (RecordingByUser, TheMainOutputIsRecordedIntoTheNamedWaveFile)
{
    ASSERT_NO_FATAL_FAILURE (startWithToneOnMain());
    const auto typed = getSongFolder().getChildFile ("evening");
    const auto recorded = getSongFolder().getChildFile ("evening.wav");
    ASSERT_NO_FATAL_FAILURE (startRecordingAs (typed));
    test::RecordingSteps steps (*x, *input, *window, layout());

    // The recorder writes every 10 ms once the signal has come.
    ASSERT_TRUE (test::waitUntil ([&] { return recorded.getSize() > 44 + 44100; }, 10s)) << "nothing recorded";
    std::this_thread::sleep_for (2s);
    ASSERT_TRUE (steps.pressRecordButton());
    EXPECT_TRUE (test::RecordingSteps::waitUntilFinished (recorded)) << "still recording after the button went off";
    EXPECT_FALSE (typed.exists());

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (recorded.createInputStream().release(), true));
    ASSERT_NE (reader, nullptr) << "not a WAV file";
    EXPECT_EQ (reader->bitsPerSample, 16u);
    EXPECT_EQ (reader->numChannels, 2u);
    EXPECT_EQ (reader->sampleRate, jack->getSampleRate());
    const int frames = (int) reader->lengthInSamples;
    EXPECT_GT (frames, (int) (2 * reader->sampleRate));
    juce::AudioBuffer<float> audio (2, frames);
    reader->read (&audio, 0, frames, 0, true, true);
    EXPECT_GT (test::toneAmplitude (audio.getReadPointer (0) + frames / 2, frames / 4, toneFrequency,
                                    reader->sampleRate),
               0.1);

    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value()) << "the program did not quit";
    EXPECT_EQ (*code, 0);
}

// A program killed in the middle of a set leaves a file that plays up to the
// header's last update: its length is the time recorded, less at most the
// update interval, and it holds the mix.
TEST_F (RecordingByUser, AKilledProgramLeavesAFileThatPlaysUpToItsLastSeconds)
{
    ASSERT_NO_FATAL_FAILURE (startWithToneOnMain());
    const auto recorded = getSongFolder().getChildFile ("killed.wav");
    ASSERT_NO_FATAL_FAILURE (startRecordingAs (getSongFolder().getChildFile ("killed")));

    // The writer appends every 10 ms from the moment the tone opens the gate.
    ASSERT_TRUE (test::waitUntil ([&] { return recorded.getSize() > 44; }, 10s)) << "nothing recorded";
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for (5500ms);
    kill (program->getPid(), SIGKILL);
    const auto killed = std::chrono::steady_clock::now();
    ASSERT_EQ (program->waitForExit (10s), 128 + SIGKILL);

    const double recordedSeconds = std::chrono::duration<double> (killed - started).count();
    const double interval = Audio2DiskRecorder::headerUpdateMs / 1000.0;
    const double seconds = (double) framesSoxReads (recorded) / jack->getSampleRate();
    std::cout << "[ figures  ] killed after " << recordedSeconds << " s of recording: sox reads " << seconds << " s"
              << std::endl;
    EXPECT_GE (seconds, recordedSeconds - interval - 0.1) << "more than the header's interval is lost";
    EXPECT_LE (seconds, recordedSeconds + 0.1);
    EXPECT_GT (toneInFile (recorded), 0.1) << "the file does not hold the mix";
}

// A disk that fills up while recording: the button goes off and a message
// says why at once; the file plays up to where the disk was full.
TEST_F (RecordingByUser, AFullDiskEndsTheRecordingWithAMessageAndKeepsTheFile)
{
    SmallFileSystem disk (getSongFolder().getChildFile ("small"), 1);
    if (! disk.mounted)
        GTEST_SKIP() << "no small file system can be mounted here (" << disk.error << "): the full disk is not tried";

    ASSERT_NO_FATAL_FAILURE (startWithToneOnMain());
    const auto recorded = disk.folder.getChildFile ("full.wav");
    ASSERT_NO_FATAL_FAILURE (startRecordingAs (disk.folder.getChildFile ("full")));

    // 1 MB holds about six seconds.
    const auto message = waitForDialog ("Recording stopped");
    ASSERT_TRUE (message.has_value()) << "no message when the disk was full";
    const auto frames = framesSoxReads (recorded);
    EXPECT_EQ (recorded.getSize(), 44 + 4 * frames) << "the header does not match the file";
    EXPECT_GT ((double) frames / jack->getSampleRate(), 4.0);
    EXPECT_GT (toneInFile (recorded), 0.1) << "the file does not hold the mix";

    // Once the message is read, the button is off: a click asks for a new recording.
    input->focus (message->id);
    input->pressKey ("Return");
    ASSERT_TRUE (test::waitUntil ([&] { return ! x->findWindow ("Recording stopped").has_value(); }, 5s));
    test::RecordingSteps steps (*x, *input, *window, layout());
    ASSERT_TRUE (steps.pressRecordButton());
    const auto chooser = waitForDialog ("Choose Record Source and Quality!");
    EXPECT_TRUE (chooser.has_value()) << "the record button stayed on";
    if (chooser)
    {
        input->focus (chooser->id);
        input->pressKey ("Escape");
    }

    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value()) << "the program did not quit";
    EXPECT_EQ (*code, 0);
}
