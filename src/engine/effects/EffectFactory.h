#pragma once

#include "engine/effects/FXBaseClass.h"

#include <memory>

namespace zund
{
/** Effect types in the order the effect panel lists them. */
enum EffectType
{
    thruEffect = 0,   // "[Plugins Only]"
    chorusEffect,     // "Flanger"
    phaserEffect,     // "Phaser"
    echoEffect,       // "Echo"
    delayEffect,      // "Delay"
    autoFilterEffect, // "LFO Filter"
    tremoloEffect,    // "Tremolo"
    panEffect,        // "Pan"
    reverbEffect,     // "Reverb"
    numEffectTypes
};

/** A new built-in effect of the given type; null for a type outside 0..8.
    Allocates (the echo lines are 8 MB): never call on the audio thread. */
std::unique_ptr<FXBaseClass> createEffect (int type);

/** Lets `next` carry on where `previous` stands: common state (level, LFO phase,
    tempo, beat length, on flag), the device rate and the depth, so that an echo
    derives its delay from the knob. Touches no memory beyond the two effects, so
    it can run under the Engine lock just before the swap. */
void handOverEffectState (FXBaseClass& next, const FXBaseClass& previous, double sampleRate) noexcept;
}
