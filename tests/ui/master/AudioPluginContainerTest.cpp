#include "MasterStripRig.h"
#include "support/PluginFixtures.h"
#include "support/SignalMeasures.h"
#include "support/UiEvents.h"
#include "ui/plugins/AudioPluginContainer.h"
#include "ui/plugins/PluginState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

using namespace zund;
using namespace zund::test;

namespace
{
constexpr double rate = 44100.0;
constexpr int mainBus = Engine::masterSet;
const juce::String ringModName = "MDA RingMod";

int indexOfParameter (juce::AudioProcessor& processor, const juce::String& name)
{
    const auto& parameters = processor.getParameters();
    for (int i = 0; i < parameters.size(); ++i)
        if (parameters[i]->getName (64) == name)
            return i;
    return -1;
}

/** A 441 Hz sine on deck 0 through channel 0 to the main pair, with the effect
    section running the plug-ins only. */
class MainOutput
{
public:
    explicit MainOutput (Engine& engineToUse) : engine (engineToUse)
    {
        engine.setDeckInput (0, 0);
        engine.setThru (0, true);
        engine.setMainOutput (0);
        engine.setFXType (0);
    }

    /** 8820 samples of the left main output. */
    std::vector<float> render()
    {
        constexpr int length = 8820, block = 256;
        std::vector<float> left ((size_t) length);
        float in[2][block], out[2][block];
        const float* inputs[] = { in[0], in[1] };
        float* outputs[] = { out[0], out[1] };
        for (int done = 0; done < length; done += block)
        {
            const int n = std::min (block, length - done);
            for (int i = 0; i < n; ++i)
                in[0][i] = in[1][i] = 0.5f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 441.0
                                                                 * (double) (sample++) / rate);
            std::fill_n (out[0], block, 0.0f);
            std::fill_n (out[1], block, 0.0f);
            engine.processBlock (inputs, 2, outputs, 2, n, false);
            std::copy (out[0], out[0] + n, left.begin() + done);
        }
        return left;
    }

    /** The amplitude of a tone in the second half of a rendering. */
    double tone (double frequency)
    {
        const auto left = render();
        return toneAmplitude (left.data() + 4410, 4410, frequency, rate);
    }

private:
    Engine& engine;
    juce::int64 sample = 0;
};

class PluginSlots : public ::testing::Test
{
protected:
    void SetUp() override { addKnown ({ stereoLv2Effect, lv2Instrument, monoLv2Effect }); }

    void addKnown (std::initializer_list<const char*> uris)
    {
        juce::LV2PluginFormat format;
        juce::OwnedArray<juce::PluginDescription> found;
        for (auto* uri : uris)
            host.getPluginList().getKnownList().scanAndAddFile (uri, true, found, format);
    }

    /** Clicks the slot's name button and answers the chooser. */
    void chooseInSlot (AudioPluginContainer& slot, const juce::String& item, bool rightButton = false)
    {
        host.menuAnswers.push_back (choose (item));
        const auto before = host.menusShown.size();
        clickWidget (slot.getNameButton(), rightButton);
        pumpUntilMenusShown (host, before + 1);
    }

    /** Right-clicks a knob and picks a parameter from its menu. */
    void bindKnob (AudioPluginContainer& slot, int knob, const juce::String& parameter)
    {
        host.menuAnswers.push_back (choose (parameter));
        const auto before = host.menusShown.size();
        clickWidget (slot.getKnob (knob), true);
        pumpUntilMenusShown (host, before + 1);
    }

    static void clickWidget (juce::Component& widget, bool rightButton)
    {
        const auto mods = rightButton ? juce::ModifierKeys::rightButtonModifier : juce::ModifierKeys::leftButtonModifier;
        const auto e = mouseEventAt (widget, { 3, 3 }, mods);
        widget.mouseDown (e);
        widget.mouseUp (e);
    }

    MasterStripHostStandIn host;
};
}

TEST_F (PluginSlots, TheChooserOffersStereoEffectsOnlyAfterTheScan)
{
    host.getPluginList().getKnownList().clear();
    host.getPluginList().scanForPlugins();
    const auto known = host.getPluginList().getKnownList().getTypes();
    auto isKnown = [&] (const char* uri) {
        return std::any_of (known.begin(), known.end(), [uri] (auto& type) { return type.fileOrIdentifier == uri; });
    };
    ASSERT_TRUE (isKnown (stereoLv2Effect) && isKnown (lv2Instrument) && isKnown (monoLv2Effect))
        << "the known list keeps everything the scan found";

    AudioPluginContainer slot (mainBus, 0, host);
    const auto before = host.menusShown.size();
    clickWidget (slot.getNameButton(), false); // left click on an empty slot
    pumpUntilMenusShown (host, before + 1);
    ASSERT_EQ (host.menusShown.size(), before + 1);

    const auto items = itemsOf (host.menusShown.back());
    ASSERT_GE (items.size(), 2u);
    EXPECT_EQ (items[0].text, "[ NO PLUGIN ]");
    EXPECT_EQ (items[0].id, PluginListHolder::noPluginItemId);

    const auto offered = host.getPluginList().getOfferedTypes (false);
    juce::StringArray names;
    for (size_t i = 1; i < items.size(); ++i)
    {
        const int index = juce::KnownPluginList::getIndexChosenByMenu (offered, items[i].id);
        ASSERT_GE (index, 0) << items[i].text;
        const auto& type = offered.getReference (index);
        EXPECT_FALSE (type.isInstrument) << type.name;
        EXPECT_GE (type.numInputChannels, 2) << type.name;
        EXPECT_GE (type.numOutputChannels, 2) << type.name;
        EXPECT_NE (type.fileOrIdentifier, monoLv2Effect);
        EXPECT_NE (type.fileOrIdentifier, lv2Instrument);
        names.add (items[i].text);
    }
    EXPECT_TRUE (names.contains (ringModName));
    auto sorted = names;
    sorted.sortNatural();
    EXPECT_EQ (names, sorted) << "in alphabetical order";

    EXPECT_EQ (slot.getPlugin(), nullptr) << "a dismissed chooser changes nothing";
    EXPECT_TRUE (host.warnings.isEmpty());
}

TEST_F (PluginSlots, ABoundKnobMovesItsParameterAndTheMainOutputFollows)
{
    AudioPluginContainer slot (mainBus, 0, host);
    slot.getKnob (0).setID (720);
    MainOutput output (*host.engine);
    host.engine->setFXOn (true);

    chooseInSlot (slot, ringModName);
    auto* plugin = slot.getPlugin();
    ASSERT_NE (plugin, nullptr);
    EXPECT_EQ (slot.getNameButton().getText(), plugin->getName());
    ASSERT_NE (slot.getWindow(), nullptr);
    EXPECT_TRUE (slot.getWindow()->isVisible()) << "a chosen plug-in shows its window";
    EXPECT_NEAR (output.tone (1441.0), 0.25, 0.01) << "the plug-in runs on the main bus at its 1 kHz default";

    // The parameter menu lists the parameters by index + 1; the choice leaves the knob alone.
    const int freq = indexOfParameter (*plugin, "Freq");
    ASSERT_GE (freq, 0);
    bindKnob (slot, 0, "Freq");
    EXPECT_EQ (slot.getParameterNumber (0), freq);
    EXPECT_EQ (slot.getKnob (0).getValue(), 0.0f);
    const auto items = itemsOf (host.menusShown.back());
    EXPECT_EQ (items[(size_t) freq].id, freq + 1);

    host.dispatched.clear();
    slot.getKnob (0).setValue (0.125f, true); // a 2 kHz carrier
    EXPECT_NEAR (plugin->getParameters()[freq]->getValue(), 0.125f, 1.0e-4f);
    EXPECT_EQ (host.dispatched, std::vector<int> { 720 }) << "the dispatcher hears the knob after the plug-in";
    EXPECT_NEAR (output.tone (2441.0), 0.25, 0.01);
    EXPECT_LT (output.tone (1441.0), 0.01);

    // Binding again ticks the current parameter; dismissing the menu keeps it.
    bindKnob (slot, 0, "no such item");
    EXPECT_TRUE (itemsOf (host.menusShown.back())[(size_t) freq].ticked);
    EXPECT_EQ (slot.getParameterNumber (0), freq);

    // An unbound knob still reaches the dispatcher but moves nothing.
    host.dispatched.clear();
    slot.getKnob (1).setID (721);
    slot.getKnob (1).setValue (0.9f, true);
    EXPECT_EQ (host.dispatched, std::vector<int> { 721 });
    EXPECT_NEAR (plugin->getParameters()[freq]->getValue(), 0.125f, 1.0e-4f);
}

TEST_F (PluginSlots, ParameterChangesFromThePlugInReachTheKnobOnTheMessageThread)
{
    AudioPluginContainer slot (mainBus, 0, host);
    slot.getKnob (2).setID (722);
    chooseInSlot (slot, ringModName);
    ASSERT_NE (slot.getPlugin(), nullptr);
    bindKnob (slot, 2, "Feedback");
    auto* feedback = slot.getPlugin()->getParameters()[slot.getParameterNumber (2)];

    host.dispatched.clear();
    std::thread audioThread ([feedback] { feedback->setValueNotifyingHost (0.7f); });
    audioThread.join();
    EXPECT_EQ (slot.getKnob (2).getValue(), 0.0f) << "not touched off the message thread";

    EXPECT_TRUE (pumpMessagesUntil ([&] { return slot.getKnob (2).getValue() == 0.7f; }));
    EXPECT_EQ (host.dispatched, std::vector<int> { 722 }) << "with notification";
    pumpMessages (60);
    EXPECT_EQ (host.dispatched.size(), 1u) << "the knob's own change does not come back again";
}

TEST_F (PluginSlots, NoPluginEmptiesTheSlotAndAFailedLoadLeavesItAsItWas)
{
    AudioPluginContainer slot (mainBus, 0, host);
    chooseInSlot (slot, ringModName);
    auto* ringModulator = slot.getPlugin();
    ASSERT_NE (ringModulator, nullptr);
    bindKnob (slot, 0, "Fine");
    const int bound = slot.getParameterNumber (0);

    // A known plug-in that is gone from the disk.
    auto gone = ringModulator->getPluginDescription();
    gone.fileOrIdentifier = "http://example.invalid/plugins/gone";
    gone.name = "Gone Effect";
    host.getPluginList().getKnownList().addType (gone);
    chooseInSlot (slot, "Gone Effect", true);
    EXPECT_EQ (slot.getPlugin(), ringModulator);
    EXPECT_EQ (slot.getParameterNumber (0), bound);
    EXPECT_EQ (host.warnings.size(), 1);

    // One the engine refuses.
    host.refusePlugins = true;
    chooseInSlot (slot, ringModName, true);
    host.refusePlugins = false;
    EXPECT_EQ (slot.getPlugin(), ringModulator);
    EXPECT_EQ (host.warnings.size(), 2);

    // A right click on a loaded slot opens the chooser; "[ NO PLUGIN ]" empties it.
    chooseInSlot (slot, "[ NO PLUGIN ]", true);
    EXPECT_EQ (slot.getPlugin(), nullptr);
    EXPECT_EQ (slot.getWindow(), nullptr);
    EXPECT_EQ (slot.getNameButton().getText(), "[Add Plugin]");
    EXPECT_EQ (slot.getParameterNumber (0), -1);
    EXPECT_EQ (slot.toXml(), nullptr);
    EXPECT_EQ (PluginWindow::getNumWindows(), 0);
}

TEST_F (PluginSlots, TheWindowIsHiddenByItsCloseButtonAndShownAgainWhereItWas)
{
    AudioPluginContainer slot (mainBus, 1, host);
    chooseInSlot (slot, ringModName);
    auto* window = slot.getWindow();
    ASSERT_NE (window, nullptr);
    EXPECT_EQ (PluginWindow::getWindowFor (slot.getPlugin(), false), window) << "one window for one plug-in";
    EXPECT_TRUE (window->isAlwaysOnTop());

    window->setTopLeftPosition (321, 123);
    window->closeButtonPressed();
    EXPECT_FALSE (slot.isWindowVisible());
    EXPECT_EQ (slot.getWindow(), window) << "closing hides the window";

    clickWidget (slot.getNameButton(), false);
    EXPECT_TRUE (slot.isWindowVisible());
    EXPECT_EQ (window->getPosition(), juce::Point<int> (321, 123));
    clickWidget (slot.getNameButton(), false);
    EXPECT_FALSE (slot.isWindowVisible());

    slot.setWindowVisible (true);
    const auto state = slot.toXml();
    ASSERT_NE (state, nullptr);
    EXPECT_EQ (state->getIntAttribute ("xPos"), 321);
    EXPECT_EQ (state->getIntAttribute ("yPos"), 123);
    EXPECT_EQ (state->getIntAttribute ("visible"), 1);
}

TEST_F (PluginSlots, RestoringChecksParameterNumbersAndStateBlocks)
{
    auto source = ringModWithFreq (0.5f);
    ASSERT_NE (source, nullptr);
    const int freq = indexOfParameter (*source, "Freq");
    auto state = PluginState::createPluginStateXml (source.get());
    ASSERT_NE (state, nullptr);

    state->setAttribute ("numParameter1", freq);
    state->setAttribute ("numParameter2", 999);
    state->setAttribute ("numParameter3", -7);
    {
        AudioPluginContainer slot (mainBus, 0, host);
        slot.fromXml (state.get());
        ASSERT_NE (slot.getPlugin(), nullptr);
        EXPECT_EQ (slot.getParameterNumber (0), freq);
        EXPECT_EQ (slot.getParameterNumber (1), -1) << "no such parameter";
        EXPECT_EQ (slot.getParameterNumber (2), -1);
        EXPECT_NEAR (slot.getKnob (0).getValue(), 0.5f, 1.0e-4f) << "the knob shows the restored value";
    }

    // A state block that does not decode is never handed over: the plug-in keeps its defaults.
    const float defaultFreq = source->getParameters()[freq]->getDefaultValue();
    for (const juce::String& data : juce::StringArray { "garbage", "-5.AAAA", "99999999.A", "4.ABC!", "4.ABCDEFGHIJ" })
    {
        state->setAttribute ("data", data);
        AudioPluginContainer slot (mainBus, 0, host);
        slot.fromXml (state.get());
        ASSERT_NE (slot.getPlugin(), nullptr) << data;
        EXPECT_NEAR (slot.getPlugin()->getParameters()[freq]->getValue(), defaultFreq, 1.0e-4f) << data;
    }
}

TEST (PluginStateBlocks, OnlyExactFrameworkBase64Decodes)
{
    juce::MemoryBlock original ("zund state\x01\xff", 12);
    const auto encoded = original.toBase64Encoding();
    juce::MemoryBlock decoded;
    ASSERT_TRUE (PluginState::decodeStateBlock (encoded, decoded));
    EXPECT_EQ (decoded, original);
    EXPECT_TRUE (PluginState::decodeStateBlock ("0.", decoded));
    EXPECT_EQ (decoded.getSize(), 0u);

    for (const juce::String& bad : juce::StringArray { juce::String(), "12", ".AAAA", "-1.", "+2.AAA", "2.AA", "2.AAAA", "2.A A",
                                    encoded.dropLastCharacters (1), encoded + "A", "999999999.A" })
        EXPECT_FALSE (PluginState::decodeStateBlock (bad, decoded)) << bad;
}

// A MIDI thread turns a bound knob while the message thread swaps plug-ins.
TEST_F (PluginSlots, KnobsTurnedOnAnotherThreadMeetPlugInSwapsSafely)
{
    AudioPluginContainer slot (mainBus, 0, host);
    std::atomic<bool> done { false };
    std::thread midiThread ([&] {
        for (int i = 0; ! done; ++i)
            slot.getKnob (0).setValue ((float) (i % 100) / 100.0f, true);
    });

    for (int round = 0; round < 4; ++round)
    {
        chooseInSlot (slot, ringModName, true);
        bindKnob (slot, 0, "Freq");
        chooseInSlot (slot, "[ NO PLUGIN ]", true);
    }
    done = true;
    midiThread.join();
    EXPECT_EQ (slot.getPlugin(), nullptr);
    EXPECT_TRUE (host.warnings.isEmpty());
}
