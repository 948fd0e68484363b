// A device that stops under the program, with a device kind of the tests' own
// (no sound card or server): the recording ends, one warning names the device
// and the file, and the same set-up comes back, by the warning's "Reopen" or
// by choosing the device again in the framework's device selector. Device
// changes and quitting are no loss.

#include "app/device/DeviceLossHandler.h"
#include "app/device/DeviceLossHost.h"
#include "app/harness/FakeAudioDevice.h"
#include "app/harness/FakeAudioDeviceType.h"
#include "app/main/MainAudioCallback.h"
#include "engine/Engine.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>
#include <juce_audio_utils/juce_audio_utils.h>

#include <functional>
#include <vector>

using namespace zund;

namespace
{
using Setup = juce::AudioDeviceManager::AudioDeviceSetup;

Setup setupOf (const juce::String& output, const juce::String& input)
{
    Setup setup;
    setup.outputDeviceName = output;
    setup.inputDeviceName = input;
    return setup;
}

/** A device manager with the fake devices, "Card A" open, the program's
    audio callback on it and the handler watching it; the host's part is
    played here (the recording, the warning and the user's answer). */
struct LossRig : public DeviceLossHost
{
    LossRig()
    {
        auto owned = std::make_unique<test::FakeAudioDeviceType>();
        type = owned.get();
        manager.addAudioDeviceType (std::move (owned));
        auto setup = setupOf ("Card A", "Card A");
        EXPECT_EQ (manager.initialise (2, 2, nullptr, false, {}, &setup), "");
        manager.addAudioCallback (&callback);
        handler.start();
    }

    ~LossRig() override { manager.removeAudioCallback (&callback); }

    // DeviceLossHost
    std::uint64_t getBlockProgress() const noexcept override { return callback.getBlockProgress(); }
    std::uint64_t getDeviceStopCount() const noexcept override { return callback.getStopCount(); }
    bool isAudioCallbackStarted() const noexcept override { return callback.isStarted(); }
    bool isQuitting() const noexcept override { return quitting; }
    juce::File endRecording() override
    {
        ++recordingsEnded;
        return std::exchange (recordingFile, juce::File());
    }
    void showDeviceLoss (const juce::String& message, std::function<void (bool)> answer) override
    {
        warnings.add (message);
        pendingAnswer = std::move (answer);
    }

    test::FakeAudioDevice* device() const { return type->getLastDevice(); }

    /** `ms` of the program's life, looked at as its timer would; the device
        delivers its blocks meanwhile when it runs. */
    void live (double ms, bool blocksCome = true)
    {
        for (double end = now + ms; now < end;)
        {
            now += DeviceLossHandler::checkIntervalMs;
            if (blocksCome && device() != nullptr)
                device()->deliverBlocks (16);
            handler.check();
        }
    }

    /** Runs for a second, then loses the device as JACK's shutdown does. */
    void loseDevice()
    {
        live (1000.0);
        device()->shutDown();
        live (200.0, false);
    }

    void answer (bool reopen)
    {
        ASSERT_NE (pendingAnswer, nullptr) << "no warning is waiting for an answer";
        std::exchange (pendingAnswer, nullptr) (reopen);
    }

    /** The device runs the set-up that was lost, and delivers blocks again. */
    void expectBackAsBefore()
    {
        auto* running = manager.getCurrentAudioDevice();
        ASSERT_NE (running, nullptr) << "no device is open";
        EXPECT_EQ (running, device());
        EXPECT_EQ (device()->outputName, "Card A");
        EXPECT_EQ (device()->inputName, "Card A");
        EXPECT_TRUE (running->isOpen() && running->isPlaying());
        EXPECT_EQ (running->getActiveInputChannels().countNumberOfSetBits(), 2);
        EXPECT_EQ (running->getActiveOutputChannels().countNumberOfSetBits(), 2);
        EXPECT_FALSE (handler.hasLostDevice());
        const auto before = callback.getBlockProgress();
        device()->deliverBlocks (1);
        EXPECT_EQ (callback.getBlockProgress(), before + 2) << "the program is not the device's callback";
    }

    Engine engine;
    MainAudioCallback callback { engine };
    juce::AudioDeviceManager manager;
    test::FakeAudioDeviceType* type = nullptr;
    double now = 0.0;
    bool quitting = false;
    juce::File recordingFile { "/music/sets/friday.wav" };
    int recordingsEnded = 0;
    juce::StringArray warnings;
    std::function<void (bool)> pendingAnswer;
    DeviceLossHandler handler { manager, *this, [this] { return now; } };
};
}

// Lost as JACK's server shutdown loses it (the framework closes the device
// under the program), or as an unplugged ALSA card does (still open, no more
// blocks; "playing" or not, after an error its thread met before, such as
// an xrun it played on after): one warning, naming the device and the closed
// recording; the dead device goes; "Reopen" brings back the same set-up.
TEST (DeviceLossHandling, ALossEndsTheRecordingWarnsOnceAndReopensTheSameSetUp)
{
    enum class Loss
    {
        closedByTheFramework,
        blocksStop,
        blocksStopAfterAnError
    };
    for (const auto loss : { Loss::closedByTheFramework, Loss::blocksStop, Loss::blocksStopAfterAnError })
    {
        SCOPED_TRACE (loss == Loss::closedByTheFramework ? "closed by the framework"
                      : loss == Loss::blocksStop         ? "blocks stop"
                                                         : "blocks stop after an error");
        LossRig rig;
        rig.live (1000.0);
        if (loss == Loss::closedByTheFramework)
        {
            rig.device()->shutDown();
            rig.live (200.0, false);
        }
        else
        {
            if (loss == Loss::blocksStopAfterAnError)
            {
                rig.device()->meetError();
                rig.live (2000.0);
                EXPECT_TRUE (rig.warnings.isEmpty()) << "warned of an error the device plays on after";
            }
            rig.live (900.0, false);
            EXPECT_TRUE (rig.warnings.isEmpty()) << "lost before a second had passed";
            rig.live (300.0, false);
        }

        ASSERT_EQ (rig.warnings.size(), 1);
        const auto& warning = rig.warnings[0];
        EXPECT_TRUE (warning.contains ("\"Card A\" (Fake)")) << warning;
        EXPECT_TRUE (warning.contains ("closed")) << warning;
        EXPECT_TRUE (warning.contains ("/music/sets/friday.wav")) << warning;
        EXPECT_EQ (rig.recordingsEnded, 1);
        EXPECT_EQ (rig.manager.getCurrentAudioDevice(), nullptr) << "the dead device was kept";
        rig.live (3000.0, false);
        EXPECT_EQ (rig.warnings.size(), 1) << "warned again";

        rig.answer (true);
        ASSERT_NO_FATAL_FAILURE (rig.expectBackAsBefore());
        rig.live (3000.0);
        EXPECT_EQ (rig.warnings.size(), 1);
    }
}

TEST (DeviceLossHandling, DeviceChangesAndQuittingAreNoLoss)
{
    struct Case
    {
        const char* what;
        std::function<void (LossRig&)> change;
    };
    const Case cases[] = {
        { "another device chosen",
          [] (LossRig& rig) { EXPECT_EQ (rig.manager.setAudioDeviceSetup (setupOf ("Card B", "Card B"), true), ""); } },
        { "no device chosen",
          [] (LossRig& rig) { EXPECT_EQ (rig.manager.setAudioDeviceSetup (setupOf ({}, {}), true), ""); } },
        { "every channel switched off",
          [] (LossRig& rig) {
              auto setup = rig.manager.getAudioDeviceSetup();
              setup.useDefaultInputChannels = setup.useDefaultOutputChannels = false;
              setup.inputChannels.clear();
              setup.outputChannels.clear();
              EXPECT_EQ (rig.manager.setAudioDeviceSetup (setup, true), "");
          } },
        { "another device chosen with every channel off (made, never opened)",
          [] (LossRig& rig) {
              auto setup = setupOf ("Card B", "Card B");
              setup.useDefaultInputChannels = setup.useDefaultOutputChannels = false;
              EXPECT_EQ (rig.manager.setAudioDeviceSetup (setup, true), "");
              EXPECT_FALSE (rig.manager.getCurrentAudioDevice()->isOpen());
          } },
        { "the device closed and opened again by the framework's selector",
          [] (LossRig& rig) {
              rig.manager.closeAudioDevice();
              rig.manager.restartLastAudioDevice();
          } },
        { "the program quits, then the device closes",
          [] (LossRig& rig) {
              rig.quitting = true;
              rig.device()->shutDown();
          } },
    };
    for (const auto& c : cases)
    {
        LossRig rig;
        rig.live (1000.0);
        c.change (rig);
        rig.live (3000.0, false);
        EXPECT_TRUE (rig.warnings.isEmpty()) << c.what << ": " << rig.warnings.joinIntoString ("\n");
        EXPECT_EQ (rig.recordingsEnded, 0) << c.what;
    }
}

// A device that is not there when the warning is answered: it says so and
// offers the reopen again; once the device is back (found by a new look, as
// a restarted JACK server's clients are), it opens.
TEST (DeviceLossHandling, AReopenLooksForTheDeviceAfresh)
{
    LossRig rig;
    rig.loseDevice();
    ASSERT_EQ (rig.warnings.size(), 1);

    // The preferences were opened while the device was away: its kind of
    // device was looked for then, and did not list it.
    rig.type->present.removeString ("Card A");
    rig.handler.refreshDeviceLists();
    rig.answer (true);
    ASSERT_EQ (rig.warnings.size(), 2) << "a failed reopen said nothing";
    EXPECT_TRUE (rig.warnings[1].contains ("could not be reopened")) << rig.warnings[1];
    EXPECT_FALSE (rig.warnings[1].contains ("friday.wav")) << "the recording is not news any more";
    EXPECT_TRUE (rig.handler.hasLostDevice());

    rig.type->present.add ("Card A");
    rig.answer (true);
    ASSERT_NO_FATAL_FAILURE (rig.expectBackAsBefore());
}

// The preferences' device selector shows that no device is open after the
// loss; choosing the device's output there brings back inputs and outputs.
TEST (DeviceLossHandling, ChoosingTheDeviceAgainInThePreferencesReopensTheWholeSetUp)
{
    LossRig rig;
    juce::AudioDeviceSelectorComponent selector (rig.manager, 0, 256, 0, 256, false, false, false, false);
    const auto outputList = [&selector] () -> juce::ComboBox* {
        std::function<juce::ComboBox* (juce::Component&)> find = [&] (juce::Component& c) -> juce::ComboBox* {
            if (auto* label = dynamic_cast<juce::Label*> (&c); label != nullptr && label->getText() == "Output:")
                return dynamic_cast<juce::ComboBox*> (label->getAttachedComponent());
            for (auto* child : c.getChildren())
                if (auto* found = find (*child))
                    return found;
            return nullptr;
        };
        return find (selector);
    };
    ASSERT_NE (outputList(), nullptr);
    EXPECT_EQ (outputList()->getText(), "Card A");

    rig.loseDevice();
    ASSERT_EQ (rig.warnings.size(), 1);
    test::pumpMessages (50); // the selector hears of the change
    ASSERT_NE (outputList(), nullptr);
    EXPECT_NE (outputList()->getText(), "Card A") << "the selector still shows the dead device as chosen";

    const int cardA = rig.type->getDeviceNames (false).indexOf ("Card A") + 1;
    outputList()->setSelectedId (cardA, juce::sendNotificationSync);
    rig.live (200.0);
    ASSERT_NO_FATAL_FAILURE (rig.expectBackAsBefore());
    EXPECT_EQ (rig.warnings.size(), 1);
}

// A second loss while the first warning waits adds no box; its answer
// reopens the device lost last.
TEST (DeviceLossHandling, OneWarningAtATime)
{
    LossRig rig;
    rig.loseDevice();
    ASSERT_EQ (rig.manager.setAudioDeviceSetup (setupOf ("Card B", "Card B"), true), "");
    rig.loseDevice();
    rig.live (1500.0, false);
    EXPECT_EQ (rig.warnings.size(), 1);

    rig.answer (true);
    ASSERT_NE (rig.device(), nullptr);
    EXPECT_EQ (rig.device()->outputName, "Card B");
    EXPECT_TRUE (rig.device()->isPlaying());
}
