#pragma once

namespace zund::ControlIds
{
/** Ids below 500 are channel controls: channel x 100 + function, with the
    channels 0..3 and 4 for the master strip's modules. */
constexpr int perChannel = 100;
constexpr int masterChannel = 4;
constexpr int numChannelFunctions = 64;

constexpr int of (int channel, int function) noexcept
{
    return channel * perChannel + function;
}

/** The function numbers of the channel controls. */
enum Function
{
    gain = 1,
    phones = 2,
    firstCueSet = 3, // the wave display's cue buttons "1".."4"
    lastCueSet = 6,
    firstCueMarker = 19, // the overview's cue markers
    lastCueMarker = 22,
    cue1 = 35,
    cue2 = 36,
    loopLength = 37,
    loopAdjust = 38,
    filterKind = 39,
    filterFrequency = 40,
    filterResonance = 41,
    filterLowPass = 42,
    filterBandPass = 43,
    filterHighPass = 44,
    eqLow = 45,
    eqMidFrequency = 46,
    eqMid = 47,
    eqHigh = 48,
    eqKillLow = 49,
    eqKillMid = 50,
    eqKillHigh = 51,
    fader = 52,
    control = 53,
    rewind = 54,
    play = 55,
    sync = 56,
    clock = 57,
    absolute = 58,
    thru = 59,
    firstInputDeck = 60,
    lastInputDeck = 63,
    eqMode = 64
};

/** The master strip's own controls, the crossfader panel and the effect panel. */
enum Fixed
{
    mainVolume = 500,
    phonesVolume = 501,
    cueMix = 502,
    zeroLockRange = 503,
    crossfaderSideA = 600,
    crossfaderSideB = 601,
    crossfaderCurve = 602,
    crossfader = 603,
    effectType = 700,
    effectOn = 701,
    effectDepth = 702,
    effectMix = 703,
    effectChannel = 704,
    effectSpeed = 705,
    effectClock = 706,
    tap = 707,
    firstPluginKnob = 720, // 720..722 slot 1, 730..732 slot 2
    lastPluginKnob = 732
};
}
