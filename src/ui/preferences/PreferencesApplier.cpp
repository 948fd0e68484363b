#include "ui/preferences/PreferencesApplier.h"

#include "engine/Engine.h"
#include "ui/MixerHost.h"
#include "ui/midi/MidiControlSurfaceManager.h"

#include <juce_audio_devices/juce_audio_devices.h>

namespace zund
{
namespace
{
constexpr int noPair = -2;

int pairsOf (const juce::StringArray& channelNames)
{
    return channelNames.size() / 2; // an odd last channel is no stereo pair
}
}

DevicePairs DevicePairs::of (juce::AudioDeviceManager& deviceManager)
{
    auto* device = deviceManager.getCurrentAudioDevice();
    if (device == nullptr || device->getName().isEmpty())
        return {};
    return { pairsOf (device->getInputChannelNames()), pairsOf (device->getOutputChannelNames()) };
}

int routingToFirstChannel (int index, int numPairs) noexcept
{
    return index >= 1 && index <= numPairs ? 2 * index - 2 : noPair;
}

void applyRouting (const PreferencesModel& model, Engine& engine, DevicePairs pairs)
{
    for (int d = 0; d < PreferencesModel::numDecks; ++d)
        engine.setDeckInput (d, routingToFirstChannel (model.deckInput[(size_t) d], pairs.inputs));
    for (int c = 0; c < PreferencesModel::numChannels; ++c)
        engine.setChannelOutput (c, routingToFirstChannel (model.channelOutput[(size_t) c], pairs.outputs));
    engine.setPhonesOutput (routingToFirstChannel (model.phonesOutput, pairs.outputs));
    engine.setMainOutput (routingToFirstChannel (model.mainOutput, pairs.outputs));
}

void applyPreferences (const PreferencesModel& model, MixerHost& host, Engine& engine,
                       MidiControlSurfaceManager& midi, DevicePairs pairs)
{
    for (int i = 0; i < MixerHost::numSections; ++i)
        host.setSectionVisible (i, model.sectionVisible[(size_t) i]);
    host.setSavedBounds (model.lastX, model.lastY, model.lastWidth, model.lastHeight);

    // The knob's law: the engine takes a percentage of 0..2.
    engine.setVirtualZeroLockRange (2.0 * model.zeroLockRange);

    for (int d = 0; d < PreferencesModel::numDecks; ++d)
    {
        engine.setSoftPreamp (d, model.softPreamp[(size_t) d]);
        engine.setInvertPhaseLeft (d, model.invertPhaseLeft[(size_t) d]);
    }
    applyRouting (model, engine, pairs);

    for (int c = 0; c < PreferencesModel::numChannels; ++c)
    {
        engine.setChannelSync (c, model.channelSync[(size_t) c]);
        if (model.channelInputDeck[(size_t) c] != PreferencesModel::keepDeck)
            engine.setChannelInputDeck (c, model.channelInputDeck[(size_t) c]);
        engine.setChannelAbsolute (c, model.channelAbsolute[(size_t) c]);
    }

    if (model.channelCount != PreferencesModel::noChannelCount)
        host.setNumChannels (model.channelCount);

    if (model.midiDefaults != nullptr)
        midi.fromXml (model.midiDefaults.get());
}

void capturePreferences (PreferencesModel& model, const MixerHost& host, const Engine& engine,
                         const MidiControlSurfaceManager& midi)
{
    for (int i = 0; i < MixerHost::numSections; ++i)
        model.sectionVisible[(size_t) i] = host.isSectionVisible (i);

    const auto bounds = host.getWindowBounds();
    model.lastX = bounds.getX();
    model.lastY = bounds.getY();
    model.lastWidth = bounds.getWidth();
    model.lastHeight = bounds.getHeight();

    for (int c = 0; c < PreferencesModel::numChannels; ++c)
    {
        model.channelInputDeck[(size_t) c] = engine.getChannelInputDeck (c);
        model.channelSync[(size_t) c] = engine.isChannelSync (c);
        model.channelAbsolute[(size_t) c] = engine.isChannelAbsolute (c);
    }

    model.midiDefaults = midi.toXml (PreferencesModel::midiDefaultsTag);
}
}
