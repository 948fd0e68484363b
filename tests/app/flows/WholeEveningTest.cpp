// The whole evening in one run of the program: two songs chosen in the
// browser play on channels 1 and 2 under the timecode of their decks, the
// crossfader goes over from channel 1 to channel 2, channel 2's low band is
// killed, the main mix is recorded to a file named in the dialogs, and the
// program is closed by its close button with "Really quit?" answered. The
// recording holds what was heard, and the settings, the library and the tree
// are written for the next evening. The JACK server's xruns and the
// program's processor time over the evening are printed as figures.

#include "app/flows/RecordingSteps.h"
#include "app/flows/SongFlow.h"
#include "app/harness/XrunCounter.h"
#include "support/TagFixtures.h"
#include "ui/panels/ControlIds.h"

#include <iostream>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
constexpr double toneA = 440.0;
// Song B: a tone well above the low band and one deep inside it.
constexpr double toneB = 1000.0, lowToneB = 50.0;
constexpr float songAmplitude = 0.2f;

class WholeEvening : public test::SongFlow
{
protected:
    WholeEvening() { clientRingSeconds = 30.0; }

    /** The recorded WAV read back by sox: its facts, and its samples as 32-bit floats. */
    struct SoxReading
    {
        int channels = 0, bits = 0;
        double sampleRate = 0.0;
        test::Recording audio;
    };

    SoxReading readWithSox (const juce::File& wav)
    {
        SoxReading reading;
        auto info = [&] (const char* option) {
            const auto result = test::runCommand ({ "soxi", option, wav.getFullPathName() });
            EXPECT_TRUE (result.succeeded()) << "soxi " << option << ": " << result.output;
            return result.output.trim();
        };
        reading.channels = info ("-c").getIntValue();
        reading.bits = info ("-b").getIntValue();
        reading.sampleRate = info ("-r").getDoubleValue();

        const auto raw = getArtifactFolder().getChildFile ("recorded.f32");
        const auto converted = test::runCommand ({ "sox", wav.getFullPathName(), "-t", "raw", "-e", "floating-point",
                                                   "-b", "32", "-L", raw.getFullPathName() });
        EXPECT_TRUE (converted.succeeded()) << converted.output;
        juce::MemoryBlock bytes;
        raw.loadFileAsData (bytes);
        const auto numChannels = (size_t) juce::jmax (1, reading.channels);
        const auto frames = bytes.getSize() / (sizeof (float) * numChannels);
        reading.audio.sampleRate = reading.sampleRate;
        reading.audio.channels.assign (numChannels, std::vector<float> (frames));
        const auto* samples = static_cast<const float*> (bytes.getData());
        for (size_t f = 0; f < frames; ++f)
            for (size_t c = 0; c < numChannels; ++c)
                reading.audio.channels[c][f] = juce::ByteOrder::swapIfBigEndian (samples[f * numChannels + c]);
        return reading;
    }

    /** The user clicks the title bar's close button and answers "Yes" to
        "Really quit?" (its first button). The exit code, or nothing. */
    std::optional<int> quitByCloseButton()
    {
        const auto close = layout().closeButton();
        EXPECT_FALSE (close.isEmpty());
        input->click (window->id, close.getCentreX(), close.getCentreY());
        std::optional<test::WindowInfo> question;
        test::waitUntil ([&] { return (question = x->findWindow ("Really quit?")).has_value(); }, 30s);
        if (! question)
        {
            ADD_FAILURE() << "no \"Really quit?\" came while both channels played";
            return closeProgram();
        }
        input->focus (question->id);
        input->pressKey ("Return");
        return program->waitForExit (60s);
    }
};

bool parses (const juce::File& file, const juce::String& rootName)
{
    const auto root = juce::XmlDocument::parse (file);
    return root != nullptr && root->hasTagName (rootName);
}
}

TEST_F (WholeEvening, TwoSongsCrossfadedRecordedAndEverythingKeptAtTheEnd)
{
    using namespace ControlIds;
    const auto songA = writeToneTrack ("a-440.wav", 150.0, toneA, songAmplitude);
    const auto songB = writeChordTrack ("b-1000.wav", 150.0, { toneB, lowToneB }, songAmplitude);
    writeLibrary ({ songA, songB });
    writeMixerPreferences (2, { 100, 50, 1400, 1000 });

    // Older than anything the program writes.
    const auto prepared = juce::Time::getCurrentTime() - juce::RelativeTime::hours (1);
    for (const auto* name : { "preferences.xml", "database.xml", "TreeView.xml" })
        ASSERT_TRUE (getProgramFolder().getChildFile (name).setLastModificationTime (prepared)) << name;

    startProgram();
    // The start-up report would come before the window, and hold it back.
    ASSERT_TRUE (waitForWindow()) << (x->countWindows ("Consistency Check Report") > 0
                                          ? "the start-up report came: the library was not taken as it is"
                                          : "no window");
    const auto windowShown = std::chrono::steady_clock::now();
    const auto cpuAtWindow = program->getCpuSeconds();
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 1) && connectDeck (1, 2));
    ASSERT_TRUE (listenTo (1, 0));
    const test::XrunCounter xruns (jackServer->getName());
    ASSERT_TRUE (xruns.isOpen());
    jack->source (0).playTimecode (0.0);
    jack->source (1).playTimecode (0.0);

    // Song A onto channel 1, song B onto channel 2, from the browser: both play.
    loadSong (songA, 0);
    const double levelA = onMain (recordUntilHeard (toneA), toneA);
    ASSERT_GT (levelA, 0.05) << "song A is not heard";
    loadSong (songB, 1);
    const auto both = recordUntilHeard (toneB);
    keepRecording (both, "both.wav");
    const double levelB = onMain (both, toneB), levelLowB = onMain (both, lowToneB);
    ASSERT_GT (levelB, 0.05) << "song B is not heard";
    ASSERT_GT (levelLowB, 0.05) << "song B's low tone is not heard";
    EXPECT_NEAR (onMain (both, toneA), levelA, 0.1 * levelA) << "song A stopped when B came";

    // Channel 1 on side A, channel 2 on side B; the crossfader to A, then
    // over to B (300 pixels of drag span its range).
    clickCell (crossfaderSideA, 0, 5);
    clickCell (crossfaderSideB, 1, 5);
    const auto fader = control (crossfader);
    input->drag (window->id, fader.getCentreX(), fader.getCentreY(), fader.getCentreX() - 320, fader.getCentreY());
    const auto onA = recordWhen ([&] (const test::Recording& r) { return onMain (r, toneB) < 0.001 * levelB; });
    keepRecording (onA, "on-a.wav");
    EXPECT_LT (onMain (onA, toneB), 0.001 * levelB) << "song B is heard with the crossfader on A";
    EXPECT_GT (onMain (onA, toneA), 0.5 * levelA) << "song A is not heard with the crossfader on A";

    input->drag (window->id, fader.getCentreX(), fader.getCentreY(), fader.getCentreX() + 320, fader.getCentreY());
    const auto onB = recordWhen ([&] (const test::Recording& r) { return onMain (r, toneA) < 0.001 * levelA; });
    keepRecording (onB, "on-b.wav");
    EXPECT_LT (onMain (onB, toneA), 0.001 * levelA) << "song A is heard with the crossfader on B";
    const double levelBOnB = onMain (onB, toneB), levelLowBOnB = onMain (onB, lowToneB);
    EXPECT_GT (levelBOnB, 0.5 * levelB) << "song B is not heard with the crossfader on B";

    // Channel 2's LOW kill takes the low tone away and leaves the high one.
    clickOn (of (1, eqKillLow));
    const auto killed =
        recordWhen ([&] (const test::Recording& r) { return onMain (r, lowToneB) < 0.2 * levelLowBOnB; });
    keepRecording (killed, "low-killed.wav");
    EXPECT_LT (onMain (killed, lowToneB), 0.2 * levelLowBOnB) << "the LOW kill left the low tone";
    EXPECT_NEAR (onMain (killed, toneB), levelBOnB, 0.1 * levelBOnB) << "the LOW kill touched the high tone";

    // The main mix into a file named in the dialogs, for a few seconds.
    const auto typed = getArtifactFolder().getChildFile ("evening");
    const auto recorded = getArtifactFolder().getChildFile ("evening.wav");
    test::RecordingSteps steps (*x, *input, *window, layout());
    ASSERT_TRUE (steps.pressRecordButton());
    ASSERT_TRUE (steps.recordMainOutputInto (typed));
    constexpr double recordSeconds = 3.0;
    const auto wanted = (juce::int64) (44 + recordSeconds * jack->getSampleRate() * 2 * 2);
    ASSERT_TRUE (test::waitUntil ([&] { return recorded.getSize() > wanted; }, 60s))
        << "the recording holds " << recorded.getSize() << " bytes";
    ASSERT_TRUE (steps.pressRecordButton());
    EXPECT_TRUE (test::RecordingSteps::waitUntilFinished (recorded)) << "still recording after the button went off";

    // What the evening cost, up to the quit.
    const int xrunsOfTheEvening = xruns.getCount();
    const auto cpuAtQuit = program->getCpuSeconds();
    const std::chrono::duration<double> evening = std::chrono::steady_clock::now() - windowShown;
    const double share = cpuAtWindow && cpuAtQuit ? (*cpuAtQuit - *cpuAtWindow) / evening.count() : -1.0;

    const auto code = quitByCloseButton();
    ASSERT_TRUE (code.has_value()) << "the program did not end after \"Yes\"";
    EXPECT_EQ (*code, 0);

    std::cout << "[ figures  ] the whole evening (" << juce::String (evening.count(), 1)
              << " s from the window to the quit): xruns reported by the JACK server " << xrunsOfTheEvening
              << ", processor time as a share of one core " << juce::String (share, 3) << std::endl;
    RecordProperty ("xruns", xrunsOfTheEvening);
    RecordProperty ("shareOfOneCore", juce::String (share, 4).toStdString());

    // The recording: a valid stereo WAV of the mix after the crossfade, B without its low tone and no A.
    const auto reading = readWithSox (recorded);
    EXPECT_EQ (reading.channels, 2);
    EXPECT_EQ (reading.bits, 16);
    EXPECT_EQ (reading.sampleRate, jack->getSampleRate());
    ASSERT_GE (reading.audio.getNumFrames(), (int) (recordSeconds * jack->getSampleRate()));
    EXPECT_GT (onMain (reading.audio, toneB), 0.5 * levelBOnB) << "song B is not in the recording";
    EXPECT_LT (onMain (reading.audio, toneA), 0.005 * levelA) << "song A is in the recording";
    EXPECT_LT (onMain (reading.audio, lowToneB), 0.2 * levelLowBOnB) << "the killed low tone is in the recording";

    // Everything the next evening starts from.
    const auto folder = getProgramFolder();
    EXPECT_TRUE (parses (folder.getChildFile ("preferences.xml"), "Preferences"));
    EXPECT_TRUE (parses (folder.getChildFile ("database.xml"), "Zund2DataBase"));
    EXPECT_TRUE (parses (folder.getChildFile ("TreeView.xml"), "TreeView"));
    for (const auto* name : { "preferences.xml", "database.xml", "TreeView.xml" })
        EXPECT_GT (folder.getChildFile (name).getLastModificationTime(), prepared) << name << " was not written";
}
