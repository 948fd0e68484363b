// MIDI through the main component as a controller reaches it: learning a
// control with LEARN and a click, a controller's travel, a Ctrl-learned pad
// and a pad's release, heard on the main output or read from the engine.

#include "app/main/MainComponent.h"
#include "support/SignalMeasures.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/panels/ControlIds.h"
#include "ui/widgets/ExComponent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

using namespace zund;
using namespace zund::ControlIds;

namespace
{
constexpr double rate = 44100.0, tone = 1000.0;

juce::MidiMessage controller7 (int value)
{
    return juce::MidiMessage::controllerEvent (1, 7, value);
}

/** The program without its window; channel 1 plays deck 1's input live
    (THRU), a 1 kHz tone, onto the main pair. */
class MainComponentMidi : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto& engine = main.getEngine();
        engine.setDeckInput (0, 0);
        engine.setMainOutput (0);
        for (int id : { of (0, thru), of (0, ControlIds::fader), of (0, ControlIds::play) })
            ASSERT_NE (ExComponent::getComponentByID (id), nullptr) << id;
        control (of (0, thru)).setValue (1.0f, true);
    }

    static ExComponent& control (int id) { return *ExComponent::getComponentByID (id); }

    /** A message from a MIDI input, on a thread of its own. */
    void midi (const juce::MidiMessage& message)
    {
        std::thread input ([this, message] { main.handleIncomingMidiMessage (nullptr, message); });
        input.join();
    }

    /** A click on the control, with Ctrl held or not. */
    void click (int id, bool ctrlHeld = false)
    {
        const auto saved = juce::ModifierKeys::currentModifiers;
        juce::ModifierKeys::currentModifiers = ctrlHeld ? juce::ModifierKeys (juce::ModifierKeys::ctrlModifier)
                                                        : juce::ModifierKeys();
        auto& widget = control (id);
        const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);
        widget.mouseDown (test::mouseEventAt (widget, { 3, 3 }, left));
        widget.mouseUp (test::mouseEventAt (widget, { 3, 3 }, left));
        juce::ModifierKeys::currentModifiers = saved;
    }

    /** LEARN on, a click on the control, LEARN off again: the next controller
        or note binds to it. */
    void learn (int id, bool ctrlHeld = false)
    {
        main.setLearnMode (true);
        click (id, ctrlHeld);
        main.setLearnMode (false);
    }

    /** The tone's amplitude on the main pair once the gains have settled. */
    double mainLevel()
    {
        constexpr int block = 256, blocks = 64;
        std::vector<float> in (block), left (block), right (block), heard;
        const float* inputs[] = { in.data(), in.data() };
        float* outputs[] = { left.data(), right.data() };
        for (int b = 0; b < blocks; ++b)
        {
            for (int i = 0; i < block; ++i)
                in[(size_t) i] = 0.1f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * tone
                                                          * (double) (samplesRun + i) / rate);
            samplesRun += block;
            main.getEngine().processBlock (inputs, 2, outputs, 2, block, false);
            heard.insert (heard.end(), left.begin(), left.end());
        }
        const int tail = (int) heard.size() / 2;
        return test::toneAmplitude (heard.data() + tail, tail, tone, rate);
    }

    test::ScopedProgramFolder folder;
    MainComponent main { nullptr };
    juce::int64 samplesRun = 0;
};
}

TEST_F (MainComponentMidi, AControllerIsLearnedOnlyWhileLearnIsOnAndSpansTheWholeFader)
{
    const int fader = of (0, ControlIds::fader);
    const double full = mainLevel();
    ASSERT_GT (full, 0.01);

    click (fader); // LEARN is off: the click arms nothing
    midi (controller7 (0));
    EXPECT_NEAR (mainLevel(), full, 0.005 * full) << "a controller nobody learned moved the fader";

    learn (fader);
    midi (controller7 (0)); // learned, and it moves the fader at once
    EXPECT_LT (mainLevel(), 0.001 * full);

    const auto& curve = main.getEngine().getFaderCurve();
    for (int value : { 127, 64, 13 })
    {
        midi (controller7 (value));
        EXPECT_NEAR (mainLevel() / full, curve.lookup ((float) value / 127.0f) / curve.lookup (1.0f), 0.004)
            << "controller value " << value;
    }
}

TEST_F (MainComponentMidi, ACtrlLearnedPadPutsItsControlBackToItsDefault)
{
    const int fader = of (0, ControlIds::fader);
    const double full = mainLevel();
    learn (fader, true);
    midi (juce::MidiMessage::noteOn (10, 36, (juce::uint8) 100)); // the pad becomes the fader's reset

    for (const auto& pad : { juce::MidiMessage::noteOn (10, 36, (juce::uint8) 90),
                             juce::MidiMessage::noteOff (10, 36, (juce::uint8) 64) })
    {
        control (fader).setValue (0.2f, true); // pulled down with the mouse
        ASSERT_LT (mainLevel(), 0.5 * full);
        midi (pad);
        EXPECT_NEAR (mainLevel(), full, 0.005 * full) << pad.getDescription();
    }
}

// A pad's release sets its control to 0, whatever release velocity the
// controller sends with the note-off.
TEST_F (MainComponentMidi, APadsReleaseLetsGoOfItsControlWhateverItsReleaseVelocity)
{
    const int play = of (0, ControlIds::play);
    learn (play); // the click itself pauses channel 1
    midi (juce::MidiMessage::noteOn (10, 40, (juce::uint8) 127));
    const auto& engine = main.getEngine();
    ASSERT_TRUE (engine.isPlaying (0));

    for (int release : { 0, 64, 127 })
    {
        midi (juce::MidiMessage::noteOn (10, 40, (juce::uint8) 100));
        EXPECT_TRUE (engine.isPlaying (0));
        midi (juce::MidiMessage::noteOff (10, 40, (juce::uint8) release));
        EXPECT_FALSE (engine.isPlaying (0)) << "release velocity " << release;
        EXPECT_LT (mainLevel(), 1.0e-4);
    }
}
