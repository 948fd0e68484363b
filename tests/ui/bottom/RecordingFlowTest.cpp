#include "BottomBarRig.h"

#include "support/TagFixtures.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "engine/recorder/WaveHeader.h"

#include "library/ScopedFileSizeLimit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace zund;
using namespace zund::test;

namespace
{
using ChooserAnswer = std::function<void (RecordInputChooser&)>;

const ChooserAnswer pressCancel = [] (RecordInputChooser& c) { c.getCancelButton().triggerClick(); };
// Esc or the window's close button end the dialog without a button.
const ChooserAnswer closeWindow = [] (RecordInputChooser& c) { c.exitModalState (0); };

ChooserAnswer choose (int sourceId, int qualityItemId)
{
    return [=] (RecordInputChooser& c) {
        c.getSourceList().setSelectedId (sourceId, juce::sendNotificationSync);
        c.getQualityList().setSelectedId (qualityItemId, juce::sendNotificationSync);
        c.getOkButton().triggerClick();
    };
}

// Switches the record button on and waits until the questions are over.
void pressRecord (BottomBarRig& rig)
{
    click (rig.bar.getRecordButton());
    ASSERT_EQ (rig.dialogs->sourceChoosersShown, 0) << "not inside the mouse handler";
    ASSERT_TRUE (pumpMessagesUntil ([&] {
        return rig.dialogs->sourceChoosersShown > 0 && ! rig.bar.getRecordingFlow().isAsking();
    }));
}

int soxInfo (const char* option, const juce::File& file)
{
    const auto result = runCommand ({ "soxi", option, file.getFullPathName() });
    return result.succeeded() ? result.output.trim().getIntValue() : -1;
}
}

// What the user types or picks becomes a ".wav" file; ".WAV" stays, so a
// file picked to be replaced is the one replaced.
TEST (RecordingFlow, RecordsIntoAWaveFileWhateverTheExtensionTyped)
{
    struct Case
    {
        const char* chosen;
        const char* recorded;
    };
    for (const auto c : { Case { "mix.mp3", "mix.wav" }, Case { "mix", "mix.wav" }, Case { "mix.wav", "mix.wav" },
                          Case { "mix.WAV", "mix.WAV" }, Case { "mix.Wav", "mix.wav" },
                          Case { "set.one.aiff", "set.one.wav" } })
    {
        const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory);
        EXPECT_EQ (RecordingFlow::withWaveExtension (folder.getChildFile (c.chosen)), folder.getChildFile (c.recorded))
            << c.chosen;
    }
}

// Every step that is cancelled, and a recorder that cannot start, turn the
// button back off; only the failed start is explained. The input pair is
// taken whether or not the chooser was confirmed.
TEST (RecordingFlow, ButtonGoesBackOffWhenAStepIsCancelledOrTheStartFails)
{
    TempFolder folder;
    const auto existing = folder.file ("take.wav");
    ASSERT_TRUE (existing.replaceWithText ("an earlier take"));
    ASSERT_TRUE (folder.file ("box.wav").createDirectory());

    struct Case
    {
        const char* what;
        ChooserAnswer chooser;
        juce::File file;
        bool replace;
        int fileChoosers, overwriteQuestions;
        const char* reason; // the warning's, or none
    };
    const Case cases[] = {
        { "chooser cancelled", pressCancel, existing, true, 0, 0, nullptr },
        { "chooser closed", closeWindow, existing, true, 0, 0, nullptr },
        { "file chooser cancelled", choose (1, 1), {}, true, 1, 0, nullptr },
        { "replacing declined", choose (1, 1), folder.file ("take.mp3"), false, 1, 1, nullptr },
        { "missing folder", choose (1, 2), folder.file ("gone/take.wav"), true, 1, 0, "The folder does not exist." },
        { "folder in the way", choose (1, 1), folder.file ("box"), true, 1, 0, "A folder of that name is in the way." },
    };
    for (const auto& c : cases)
    {
        BottomBarRig rig;
        rig.dialogs->answerChooser = c.chooser;
        rig.dialogs->fileToChoose = c.file;
        rig.dialogs->replaceExisting = c.replace;

        pressRecord (rig);
        EXPECT_FALSE (rig.bar.getRecordButton().isOn()) << c.what;
        pumpMessages (20);
        EXPECT_FALSE (rig.bar.getRecordButton().isBlinkRunning()) << c.what;
        EXPECT_EQ (rig.dialogs->fileChoosersShown, c.fileChoosers) << c.what;
        EXPECT_EQ (rig.dialogs->overwriteQuestions.size(), c.overwriteQuestions) << c.what;
        EXPECT_EQ (rig.host.recordingPair, -1) << c.what;
        if (c.reason != nullptr)
        {
            ASSERT_EQ (rig.dialogs->warnings.size(), 1) << c.what;
            EXPECT_TRUE (rig.dialogs->warnings[0].contains (c.reason)) << rig.dialogs->warnings[0];
        }
        else
        {
            EXPECT_TRUE (rig.dialogs->warnings.isEmpty()) << c.what;
        }
        EXPECT_EQ (existing.loadFileAsString(), "an earlier take") << c.what;
    }
}

// The confirmed choices record: a device pair at 32 bits into the ".wav" of
// the name typed, and the main mix at 16 bits into a ".WAV" file replaced
// after asking about that very file. Switching the button off finishes the file.
TEST (RecordingFlow, ConfirmedChoicesRecordIntoTheChosenFile)
{
    TempFolder folder;
    const auto replaced = folder.file ("mix.WAV");
    ASSERT_TRUE (replaced.replaceWithText ("old"));

    struct Case
    {
        const char* what;
        int sourceId, qualityId;
        juce::File typed, recorded;
        int pair, bits, overwriteQuestions;
    };
    const Case cases[] = {
        { "inputs 3 and 4", 3, 2, folder.file ("take.mp3"), folder.file ("take.wav"), 2, 32, 0 },
        { "main mix", 1, 1, replaced, replaced, -1, 16, 1 },
    };
    for (const auto& c : cases)
    {
        BottomBarRig rig;
        auto& engine = *rig.engine;
        rig.host.inputNames = { "In 1", "In 2", "In 3", "In 4" };
        rig.dialogs->answerChooser = choose (c.sourceId, c.qualityId);
        rig.dialogs->fileToChoose = c.typed;

        pressRecord (rig);
        ASSERT_TRUE (rig.bar.getRecordButton().isOn()) << c.what << ": " << rig.dialogs->warnings.joinIntoString ("\n");
        EXPECT_EQ (rig.host.recordingPair, c.pair) << c.what;
        ASSERT_EQ (rig.dialogs->overwriteQuestions.size(), c.overwriteQuestions) << c.what;
        if (c.overwriteQuestions > 0)
        {
            EXPECT_EQ (rig.dialogs->overwriteQuestions[0], c.recorded.getFullPathName());
        }

        // One second of a tone: on the device pair for the pair, through
        // deck 0's channel to the main bus for the mix.
        engine.setDeckInput (0, 0);
        engine.setThru (0, true);
        constexpr int blockSize = 256;
        std::vector<float> tone (blockSize), left (blockSize), right (blockSize);
        const float* inputs[] = { tone.data(), tone.data() };
        float* outputs[] = { left.data(), right.data() };
        for (int b = 0; b < 44100 / blockSize; ++b)
        {
            for (int i = 0; i < blockSize; ++i)
                tone[(size_t) i] = 0.5f * (float) std::sin (2.0 * M_PI * 440.0 * (b * blockSize + i) / 44100.0);
            engine.processBlock (inputs, 2, outputs, 2, blockSize, false);
            engine.feedRecorder (tone.data(), tone.data(), blockSize);
        }

        click (rig.bar.getRecordButton());
        EXPECT_FALSE (rig.bar.getRecordButton().isOn());
        EXPECT_TRUE (rig.dialogs->warnings.isEmpty()) << c.what;
        EXPECT_EQ (soxInfo ("-b", c.recorded), c.bits) << c.what;
        EXPECT_EQ (soxInfo ("-c", c.recorded), 2) << c.what;
        EXPECT_GT (soxInfo ("-s", c.recorded), 40000) << c.what;
        EXPECT_FALSE (c.typed.existsAsFile() && c.typed != c.recorded) << c.what;
    }
}

// A recorder that stops taking audio by itself (here: the file may grow no
// further, as on a full disk) switches the button off at once and says why;
// the file holds what was written, with a header that says so.
TEST (RecordingFlow, ARecorderThatStopsByItselfTurnsTheButtonOffAndSaysWhy)
{
    TempFolder folder;
    const auto file = folder.file ("full.wav");
    BottomBarRig rig;
    rig.host.inputNames = { "In 1", "In 2" };
    rig.dialogs->answerChooser = choose (2, 1);
    rig.dialogs->fileToChoose = file;

    constexpr int roomFrames = 10000;
    std::vector<float> tone (256, 0.5f);
    {
        ScopedFileSizeLimit limit ((rlim_t) (waveHeaderSize + roomFrames * 4 + 2));
        pressRecord (rig);
        ASSERT_TRUE (rig.bar.getRecordButton().isOn()) << rig.dialogs->warnings.joinIntoString ("\n");
        for (int fed = 0; fed < 4 * roomFrames; fed += (int) tone.size())
        {
            rig.engine->feedRecorder (tone.data(), tone.data(), (int) tone.size());
            juce::Thread::sleep (1);
        }
        EXPECT_TRUE (pumpMessagesUntil ([&] { return ! rig.bar.getRecordButton().isOn(); }, 5000))
            << "the button stays on after writing has stopped";
    }
    ASSERT_EQ (rig.dialogs->warnings.size(), 1);
    EXPECT_TRUE (rig.dialogs->warnings[0].startsWith ("Recording stopped: ")) << rig.dialogs->warnings[0];
    EXPECT_TRUE (rig.dialogs->warnings[0].contains ("disk full")) << rig.dialogs->warnings[0];
    EXPECT_TRUE (rig.dialogs->warnings[0].contains (file.getFullPathName()));
    EXPECT_EQ (soxInfo ("-s", file), roomFrames);

    // The user's own stop later finds nothing to stop and says nothing more.
    pumpMessages (3 * RecordingFlow::haltCheckMs);
    EXPECT_EQ (rig.dialogs->warnings.size(), 1);
}

// The user switches the button off while a question is still open; the answer
// that comes later starts nothing and replaces nothing.
TEST (RecordingFlow, ALateAnswerAfterSwitchingOffStartsNothing)
{
    TempFolder folder;
    const auto existing = folder.file ("take.wav");
    struct Case
    {
        const char* what;
        juce::File chosen;
        std::function<void()> ScriptedBottomDialogs::*answer;
    };
    const Case cases[] = {
        { "the file chooser", folder.file ("new take"), &ScriptedBottomDialogs::answerFileChooser },
        { "the overwrite question", existing, &ScriptedBottomDialogs::answerOverwrite },
    };
    for (const auto& c : cases)
    {
        ASSERT_TRUE (existing.replaceWithText ("an earlier take"));
        BottomBarRig rig;
        rig.dialogs->keepQuestionsOpen = true;
        rig.dialogs->fileToChoose = c.chosen;
        click (rig.bar.getRecordButton());
        if (c.answer == &ScriptedBottomDialogs::answerOverwrite)
        {
            ASSERT_TRUE (pumpMessagesUntil ([&] { return rig.dialogs->answerFileChooser != nullptr; })) << c.what;
            rig.dialogs->answerFileChooser();
        }
        ASSERT_TRUE (pumpMessagesUntil ([&] { return rig.dialogs->*c.answer != nullptr; })) << c.what;

        click (rig.bar.getRecordButton()); // off, with the question still open
        ASSERT_FALSE (rig.bar.getRecordButton().isOn()) << c.what;
        (rig.dialogs->*c.answer)();
        pumpMessages (50);

        EXPECT_FALSE (rig.bar.getRecordButton().isOn()) << c.what;
        const std::vector<float> loud (512, 0.5f);
        rig.engine->feedRecorder (loud.data(), loud.data(), 512);
        EXPECT_EQ (rig.engine->getRecordingHalt(), Engine::RecordingHalt::none);
        EXPECT_FALSE (folder.file ("new take.wav").exists()) << c.what << ": recorded";
        EXPECT_EQ (existing.loadFileAsString(), "an earlier take") << c.what << ": replaced";
        EXPECT_TRUE (rig.dialogs->warnings.isEmpty()) << c.what;
    }
}
