#pragma once

#include "ui/preferences/PreferencesModel.h"

namespace juce
{
class AudioDeviceManager;
}

namespace zund
{
class Engine;
class MidiControlSurfaceManager;
class MixerHost;

/** How many whole stereo pairs the open device offers; none without a
    device. */
struct DevicePairs
{
    int inputs = 0;
    int outputs = 0;

    static DevicePairs of (juce::AudioDeviceManager& deviceManager);
};

/** The engine's first device channel for a stored routing index: 2 x index - 2
    for a pair the device has, -2 ("NONE") for 0 and for pairs it lacks. */
int routingToFirstChannel (int index, int numPairs) noexcept;

/** Deck inputs and the output pairs into the engine. */
void applyRouting (const PreferencesModel& model, Engine& engine, DevicePairs pairs);

/** Applies a freshly read model, in the order that lets later values win: the
    sections, the saved bounds, the Z-lock range, the decks' preamp and phase,
    the routing, each channel's sync, deck and mode, the channel count (which
    overrides the sections of strips 1..4), and last the MIDI mapping. */
void applyPreferences (const PreferencesModel& model, MixerHost& host, Engine& engine,
                       MidiControlSurfaceManager& midi, DevicePairs pairs);

/** Takes into the model what lives elsewhere while the program runs: the
    sections, the window's bounds, each channel's deck, sync and mode, and the
    MIDI mapping. */
void capturePreferences (PreferencesModel& model, const MixerHost& host, const Engine& engine,
                         const MidiControlSurfaceManager& midi);
}
