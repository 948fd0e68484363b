#include "engine/Engine.h"

namespace zund
{
// The master chain of the main bus (master loop, filter, EQ, effect and
// plug-ins, main gain and meters, recording of the mix, main into the phones,
// preview player, phones gain and meters). Until it is built the buses leave
// as the channel mix made them: the channels in the main bus, the cue sends in
// the phones bus.
void Engine::processMasterBus (int numSamples) noexcept
{
    juce::ignoreUnused (numSamples);
}
}
