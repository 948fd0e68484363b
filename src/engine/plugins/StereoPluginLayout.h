#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace zund
{
/** Gives a plug-in a stereo main input and a stereo main output, with its other
    buses switched off where it allows that. False, with the layout unchanged,
    for a plug-in that cannot run in stereo (an instrument, a mono effect). */
bool applyStereoLayout (juce::AudioProcessor& plugin);
}
