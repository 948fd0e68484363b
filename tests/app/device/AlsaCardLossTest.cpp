// The framework's own ALSA device on the tests' card, which is unplugged as a
// USB card is: its calls fail with -ENODEV, and the framework's thread ends
// without a word. The loss is noticed whatever the device said of itself
// before (an xrun it played on after turns the framework's "playing" off for
// good), and for a card that plays only (no inputs, as for a DJ without
// timecode); the running recording ends with its final header; "Reopen" once
// the card is back brings the same set-up.

#include "app/device/DeviceLossHandler.h"
#include "app/device/DeviceLossHost.h"
#include "app/harness/AlsaTestCard.h"
#include "app/harness/ScopedEnvironment.h"
#include "app/harness/RecordedWave.h"
#include "app/main/MainAudioCallback.h"
#include "engine/Engine.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <memory>

using namespace zund;

namespace
{
/** The card opened through the framework's ALSA device type, the program's
    audio callback on it, the engine recording and the handler watching; the
    host's part is played here as the main component plays it. */
struct AlsaLossRig : public DeviceLossHost
{
    AlsaLossRig (bool withInputs, const juce::File& recordingFile) : recording (recordingFile)
    {
        manager.addAudioDeviceType (
            std::unique_ptr<juce::AudioIODeviceType> (juce::AudioIODeviceType::createAudioIODeviceType_ALSA()));
        juce::AudioDeviceManager::AudioDeviceSetup setup;
        setup.outputDeviceName = test::AlsaTestCard::deviceName;
        setup.inputDeviceName = withInputs ? test::AlsaTestCard::deviceName : "";
        setup.sampleRate = 48000.0;
        setup.bufferSize = 256;
        openError = manager.initialise (withInputs ? 256 : 0, 256, nullptr, false, {}, &setup);
        manager.addAudioCallback (&callback);

        // The first input pair, or the main mix where there is none.
        if (withInputs)
            callback.setRecordingInputPair (0);
        recordingStarted = engine.startRecording (recording.getFullPathName(), 16, ! withInputs);
        handler.start();
    }

    ~AlsaLossRig() override
    {
        engine.stopRecording();
        manager.removeAudioCallback (&callback);
        manager.closeAudioDevice();
    }

    // DeviceLossHost
    std::uint64_t getBlockProgress() const noexcept override { return callback.getBlockProgress(); }
    std::uint64_t getDeviceStopCount() const noexcept override { return callback.getStopCount(); }
    bool isAudioCallbackStarted() const noexcept override { return callback.isStarted(); }
    bool isQuitting() const noexcept override { return false; }
    juce::File endRecording() override
    {
        if (! engine.stopRecording())
            return {};
        ++recordingsEnded;
        return recording;
    }
    void showDeviceLoss (const juce::String& message, std::function<void (bool)> answer) override
    {
        warnings.add (message);
        pendingAnswer = std::move (answer);
    }

    /** Real time, with the handler looking as its timer would, until the
        condition holds or the time is up. */
    bool liveUntil (const std::function<bool()>& condition, int ms)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + ms;
        while (! condition())
        {
            if (juce::Time::getMillisecondCounterHiRes() >= end)
                return false;
            test::pumpMessages (DeviceLossHandler::checkIntervalMs);
            handler.check();
        }
        return true;
    }

    void live (int ms)
    {
        liveUntil ([] { return false; }, ms);
    }

    /** Blocks come: the program is the device's callback and the card plays. */
    bool blocksCome()
    {
        const auto before = callback.getBlockProgress();
        return liveUntil ([&] { return callback.getBlockProgress() >= before + 20; }, 2000);
    }

    void answer (bool reopen)
    {
        ASSERT_NE (pendingAnswer, nullptr) << "no warning is waiting for an answer";
        std::exchange (pendingAnswer, nullptr) (reopen);
    }

    juce::File recording;
    Engine engine;
    MainAudioCallback callback { engine };
    juce::AudioDeviceManager manager;
    juce::String openError;
    bool recordingStarted = false;
    int recordingsEnded = 0;
    juce::StringArray warnings;
    std::function<void (bool)> pendingAnswer;
    DeviceLossHandler handler { manager, *this };
};
}

TEST (AlsaCardLoss, AnUnpluggedCardIsToldItsRecordingClosedAndTheSetUpReopenedOnceItIsBack)
{
    struct Case
    {
        const char* what;
        bool withInputs, overrunFirst;
    };
    const Case cases[] = {
        { "inputs and outputs", true, false },
        { "inputs and outputs, an xrun 2 s before the unplug", true, true },
        { "outputs alone", false, false },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        test::TempFolder folder;
        test::AlsaTestCard card (folder.get());
        const test::ScopedEnvironment alsa (card.environment());
        const auto recorded = folder.file ("set.wav");
        AlsaLossRig rig (c.withInputs, recorded);
        ASSERT_EQ (rig.openError, "") << "the card did not open";
        auto* device = rig.manager.getCurrentAudioDevice();
        ASSERT_NE (device, nullptr);
        ASSERT_EQ (device->getTypeName(), "ALSA");
        EXPECT_EQ (device->getActiveInputChannels().countNumberOfSetBits(), c.withInputs ? 4 : 0);
        ASSERT_TRUE (rig.recordingStarted);
        ASSERT_TRUE (rig.blocksCome()) << "the card does not play";
        if (c.withInputs)
        {
            ASSERT_TRUE (rig.liveUntil ([&] { return recorded.getSize() > 44 + 4 * 48000; }, 5000))
                << "the input pair is not recorded";
        }

        if (c.overrunFirst)
        {
            card.overrunOnce();
            ASSERT_TRUE (rig.liveUntil ([&] { return card.hasOverrun(); }, 3000)) << "the card did not overrun";
            EXPECT_FALSE (device->isPlaying()) << "the framework's device no longer says what the fault needs";
            rig.live (2000);
            EXPECT_TRUE (rig.blocksCome()) << "the card did not play on after the xrun";
            EXPECT_TRUE (rig.warnings.isEmpty()) << "an xrun the card played on after was taken for a loss";
        }

        // Unplugged: told after about a second without blocks.
        const auto unplugged = juce::Time::getMillisecondCounterHiRes();
        card.unplug();
        ASSERT_TRUE (rig.liveUntil ([&] { return ! rig.warnings.isEmpty(); }, 4000)) << "no warning";
        const double warnedAfterMs = juce::Time::getMillisecondCounterHiRes() - unplugged;
        std::cout << "[ figures  ] " << c.what << ": warned " << warnedAfterMs / 1000.0 << " s after the unplug"
                  << std::endl;
        EXPECT_LE (warnedAfterMs, 2500.0);
        EXPECT_TRUE (rig.warnings[0].contains ("\"Zund Test Card\" (ALSA)")) << rig.warnings[0];
        EXPECT_TRUE (rig.warnings[0].contains (recorded.getFullPathName())) << rig.warnings[0];
        EXPECT_EQ (rig.recordingsEnded, 1);
        EXPECT_EQ (rig.manager.getCurrentAudioDevice(), nullptr) << "the dead device was kept";

        // The recording holds what came up to the loss, under a final header.
        const auto frames = test::soxInfo (recorded, "-s").getLargeIntValue();
        EXPECT_EQ (recorded.getSize(), 44 + 4 * frames) << "the header does not count what the file holds";
        if (c.withInputs)
        {
            EXPECT_GT (frames, 48000);
            auto reader = test::wavReaderFor (recorded);
            ASSERT_NE (reader, nullptr) << "not a WAV file";
            const double seconds = (double) reader->lengthInSamples / reader->sampleRate;
            EXPECT_GT (test::toneIn (*reader, seconds - 0.1, 0.1, test::AlsaTestCard::toneFrequency),
                       0.8 * test::AlsaTestCard::toneLevel)
                << "the file's end does not hold the card's tone";
        }

        // "Reopen" once the card is back: the same set-up plays again.
        card.plugIn();
        ASSERT_NO_FATAL_FAILURE (rig.answer (true));
        device = rig.manager.getCurrentAudioDevice();
        ASSERT_NE (device, nullptr) << "not reopened";
        EXPECT_EQ (device->getName(), test::AlsaTestCard::deviceName);
        EXPECT_EQ (device->getActiveInputChannels().countNumberOfSetBits(), c.withInputs ? 4 : 0);
        EXPECT_EQ (device->getActiveOutputChannels().countNumberOfSetBits(), 4);
        EXPECT_TRUE (rig.blocksCome()) << "the reopened card does not play";
        rig.live (1500);
        EXPECT_EQ (rig.warnings.size(), 1);
        EXPECT_FALSE (rig.handler.hasLostDevice());
    }
}
