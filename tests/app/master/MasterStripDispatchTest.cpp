#include "app/dispatch/ControlDispatcher.h"
#include "app/dispatch/ControlDispatcherHost.h"
#include "engine/Engine.h"
#include "support/PluginFixtures.h"
#include "support/SignalMeasures.h"
#include "support/UiEvents.h"
#include "ui/master/MainChannel.h"
#include "ui/master/MasterStripHostBase.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/plugins/PluginState.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr double rate = 44100.0;
constexpr std::array<double, 3> probeTones { 100.0, 1000.0, 6000.0 };

/** The master strip as the main component has it: its widgets report to the
    real control dispatcher, which reaches a real engine and the strip's panels.
    Channel 0 passes three tones from deck 0 to the main pair (outputs 1-2);
    the phones pair is outputs 3-4; deck 1 turns at 1.004 with no channel track. */
class MasterRig : public ControlDispatcherHost,
                  public MasterStripHostBase,
                  private ExComponentListener
{
public:
    MasterRig()
    {
        ExComponent::setDefaultListener (this);
        strip = std::make_unique<MainChannel> (this);

        auto& e = *engine;
        e.setDeckInput (0, 0);
        e.setThru (0, true);
        e.setMainOutput (0);
        e.setPhonesOutput (2);
        e.overrideDeckSignal (1, [] (double* speeds, float* positions, int n) {
            std::fill (speeds, speeds + n, 1.004);
            std::fill (positions, positions + n, -1000.0f);
        });
    }

    ~MasterRig() override
    {
        strip.reset();
        ExComponent::setDefaultListener (nullptr);
    }

    /** What can be heard and seen of the engine: the three tones on the main
        and phones pairs, whether the master loop runs, deck 1's speed state. */
    std::vector<double> fingerprint()
    {
        constexpr int length = 16384, block = 256;
        std::vector<float> in ((size_t) block), out[4];
        for (auto& o : out)
            o.resize ((size_t) length);
        const float* inputs[] = { in.data(), in.data() };
        for (int done = 0; done < length; done += block)
        {
            for (int i = 0; i < block; ++i, ++samplesRun)
            {
                in[(size_t) i] = 0.0f;
                for (double f : probeTones)
                    in[(size_t) i] += 0.15f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * f
                                                                * (double) samplesRun / rate);
            }
            float* outputs[] = { out[0].data() + done, out[1].data() + done, out[2].data() + done,
                                 out[3].data() + done };
            engine->processBlock (inputs, 2, outputs, 4, block, false);
        }

        std::vector<double> facts;
        for (int pair : { 0, 2 })
            for (double f : probeTones)
                facts.push_back (toneAmplitude (out[pair].data() + length / 2, length / 2, f, rate));
        facts.push_back (engine->isLoopActive (Engine::masterSet) ? 1.0 : 0.0);
        facts.push_back ((double) (engine->getLoopEnd (Engine::masterSet) - engine->getLoopStart (Engine::masterSet)));
        facts.push_back ((double) engine->getSpeedState (1));
        return facts;
    }

    /** Half a decibel on a tone (above a floor), or any change of the loop or speed state. */
    static bool differ (const std::vector<double>& a, const std::vector<double>& b)
    {
        for (size_t i = 0; i < a.size(); ++i)
            if (std::abs (decibels (a[i] + 1.0e-4) - decibels (b[i] + 1.0e-4)) > 0.5)
                return true;
        return false;
    }

    // ControlDispatcherHost
    MidiFeedbackOutput* getMidiFeedbackOutput() override { return nullptr; }
    Channel* getChannel (int) override { return nullptr; }
    FilterContainer* getFilterPanel (int set) override
    {
        return set == MainChannel::channel ? &strip->getFilterContainer() : nullptr;
    }
    EqContainer* getEqPanel (int set) override { return set == MainChannel::channel ? &strip->getEqContainer() : nullptr; }
    float getCuePoint (int, int) override { return -1.0f; }
    void setCuePoint (int, int, float) override {}
    void seekDeck (int, float) override {}
    float getOverviewCuePosition (int, int) override { return -1.0f; }
    void setOverviewCuePosition (int, int, float) override {}
    void setEffectSpeedLabels (int mode) override { strip->getFXContainer().setSpeedLabels (mode); }
    void tapTempo() override { ++taps; }

    // MasterStripHost
    void pluginKnobValueChanged (ExComponent& knob) override { dispatcher.dispatch (&knob); }

    MidiControlSurfaceManager midi;
    MixerColours colours;
    ControlDispatcher dispatcher { *engine, midi, colours, *this };
    std::unique_ptr<MainChannel> strip;
    int taps = 0;

private:
    void exComponentValueChanged (ExComponent* widget) override { dispatcher.dispatch (widget); }

    juce::int64 samplesRun = 0;
};

ExComponent& widget (int id)
{
    auto* found = ExComponent::getComponentByID (id);
    EXPECT_NE (found, nullptr) << id;
    return *found;
}

/** A grid's cell, or any other widget's value. */
void setControl (int id, float value)
{
    if (auto* grid = dynamic_cast<SelectorGrid*> (&widget (id)))
        grid->selectIndex ((int) value, true);
    else
        widget (id).setValue (value, true);
}

struct Step
{
    int id;
    float value; // a grid's cell index
};
}

// Every control of the master strip that reaches the engine changes what is
// heard (or the master loop, or the zero lock of a deck). The steps build on
// one another: the effect is switched on before its knobs turn, the filter
// opened again before the equaliser is heard. (The master loop's length grid
// and ADJ. knob change only what a running loop replays of a steady signal.)
TEST (MasterStripDispatch, EveryMasterControlReachesTheEngine)
{
    MasterRig rig;
    const std::vector<Step> steps {
        { 500, 0.5f }, // MAIN volume
        { 502, 1.0f }, // CUE/MAIN: the phones hear the main mix
        { 501, 0.5f }, // PHONES volume
        { 503, 0.0f }, // VIRTUAL Z-LOCK RANGE: none, then 2 %, which holds deck 1's 1.004 at 1.0
        { 503, 1.0f },
        { 436, 1.0f }, // CUE2: the master loop runs
        { 436, 0.0f },
        { 435, 1.0f }, // CUE1 (hidden on the master, yet mapped)
        { 435, 0.0f },
        { 701, 1.0f }, // FX on: the flanger
        { 700, 3.0f }, // "Echo"
        { 705, 0.0f }, // its speed
        { 700, 8.0f }, // "Reverb"
        { 703, 1.0f }, // MIX
        { 702, 1.0f }, // DEPTH
        { 704, 1.0f }, // the effect leaves the main bus for channel 2
        { 701, 0.0f },
        { 440, 0.1f }, // one-knob filter low
        { 441, 1.0f }, // resonance
        { 439, 1.0f }, // "SVF": the panel opens the filter again
        { 444, 1.0f }, // high-pass level
        { 442, 0.0f }, // low-pass level
        { 443, 1.0f }, // band-pass level
        { 439, 0.0f }, // "X": open again
        { 449, 1.0f }, // KILL low, mid, high, on and off
        { 449, 0.0f },
        { 450, 1.0f },
        { 450, 0.0f },
        { 451, 1.0f },
        { 451, 0.0f },
        { 445, 0.0f }, // LOW
        { 447, 0.0f }, // MID
        { 446, 0.0f }, // mid frequency
        { 448, 0.0f }, // HIGH
        { 464, 1.0f }, // "ISO"
    };

    auto fingerprint = rig.fingerprint();
    for (const auto& step : steps)
    {
        setControl (step.id, step.value);
        const auto after = rig.fingerprint();
        EXPECT_TRUE (MasterRig::differ (fingerprint, after)) << "control " << step.id;
        fingerprint = after;
    }
}

TEST (MasterStripDispatch, PanelActionsReachTheMasterPanels)
{
    MasterRig rig;
    auto& strip = *rig.strip;

    // The filter kind resets the master filter's knobs for that kind.
    setControl (440, 0.2f);
    setControl (439, 1.0f);
    EXPECT_EQ (strip.getFilterContainer().getCutoffKnob().getValue(), 1.0f);
    setControl (439, 0.0f);
    EXPECT_EQ (strip.getFilterContainer().getCutoffKnob().getValue(), 0.5f);

    // "ISO" disables the master EQ's mid frequency on the message thread.
    setControl (464, 1.0f);
    EXPECT_TRUE (pumpMessagesUntil ([&] { return ! strip.getEqContainer().getMidFrequencyKnob().isEnabled(); }));

    // The effect type names the speed cells.
    const juce::StringArray bars { "1/2", "3/4", "1/1", "2/1", "4/1" }, beats { "1/8", "3/16", "1/4", "1/2", "1/1" },
        none { "N.A.", "N.A.", "N.A.", "N.A.", "N.A." };
    const juce::StringArray* byType[] = { &none, &bars, &bars, &beats, &beats, &bars, &beats, &beats, &none };
    for (int type = 0; type < 9; ++type)
    {
        setControl (700, (float) type);
        EXPECT_EQ (strip.getFXContainer().getSpeedGrid().getCellTexts(), *byType[type]) << type;
    }
}

TEST (MasterStripDispatch, TheFunctionKeysFindTheMasterWidgets)
{
    MasterRig rig;
    auto& strip = *rig.strip;
    auto press = [&] (int key) { return rig.dispatcher.handleFunctionKey (juce::KeyPress (key), true); };

    EXPECT_TRUE (press (juce::KeyPress::F5Key));
    EXPECT_TRUE (strip.getLoopSamplerContainer().getCue2Button().isOn());
    rig.fingerprint(); // the engine takes the request with its next block
    EXPECT_TRUE (rig.engine->isLoopActive (Engine::masterSet));

    EXPECT_TRUE (press (juce::KeyPress::F10Key));
    EXPECT_TRUE (strip.getFXContainer().getEffectOnButton().isOn());
    EXPECT_TRUE (press (juce::KeyPress::F10Key));
    EXPECT_FALSE (strip.getFXContainer().getEffectOnButton().isOn());

    EXPECT_TRUE (press (juce::KeyPress::F11Key));
    EXPECT_EQ (rig.taps, 1);
    EXPECT_TRUE (strip.getFXContainer().getTapButton().isOn()) << "lit until the main component's timer puts it out";
}

TEST (MasterStripDispatch, ClockSourceDoesNothingHereTapCountsAndSlotKnobsMoveTheirParameters)
{
    MasterRig rig;
    auto before = rig.fingerprint();
    setControl (706, 1.0f);
    EXPECT_FALSE (MasterRig::differ (before, rig.fingerprint()));

    widget (707).setValue (1.0f, true);
    widget (707).setValue (0.0f, true);
    EXPECT_EQ (rig.taps, 1) << "a tap when TAP goes on, not when it goes off";

    // Both slots hold the ring modulator, each knob bound to parameter 0, 1, 2.
    juce::String error;
    auto source = createLv2Plugin (stereoLv2Effect, rate, error);
    ASSERT_NE (source, nullptr) << error;
    auto state = PluginState::createPluginStateXml (source.get());
    for (int k = 0; k < 3; ++k)
        state->setAttribute ("numParameter" + juce::String (k + 1), k);

    for (int slot = 0; slot < 2; ++slot)
    {
        auto& pluginSlot = rig.strip->getFXContainer().getPluginSlot (slot);
        pluginSlot.fromXml (state.get());
        ASSERT_NE (pluginSlot.getPlugin(), nullptr);
        for (int k = 0; k < 3; ++k)
        {
            const int id = 720 + 10 * slot + k;
            const float value = 0.25f + 0.1f * (float) k;
            widget (id).setValue (value, true);
            EXPECT_NEAR (pluginSlot.getPlugin()->getParameters()[k]->getValue(), value, 1.0e-4f) << id;
        }
    }
}
