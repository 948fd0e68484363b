#include "engine/EffectFactory.h"

#include "engine/AutoFilter.h"
#include "engine/Chorus.h"
#include "engine/Echo.h"
#include "engine/Pan.h"
#include "engine/Phaser.h"
#include "engine/Reverb.h"
#include "engine/ThruFX.h"
#include "engine/Tremolo.h"

namespace zund
{
std::unique_ptr<FXBaseClass> createEffect (int type)
{
    switch (type)
    {
        case thruEffect:       return std::make_unique<ThruFX>();
        case chorusEffect:     return std::make_unique<Chorus>();
        case phaserEffect:     return std::make_unique<Phaser>();
        case echoEffect:       return std::make_unique<Echo>();
        case delayEffect:      return std::make_unique<Delay>();
        case autoFilterEffect: return std::make_unique<AutoFilter>();
        case tremoloEffect:    return std::make_unique<Tremolo>();
        case panEffect:        return std::make_unique<Pan>();
        case reverbEffect:     return std::make_unique<Reverb>();
        default:               return nullptr;
    }
}

void handOverEffectState (FXBaseClass& next, const FXBaseClass& previous, double sampleRate) noexcept
{
    next.copyStateFrom (previous);
    next.setSampleRate (sampleRate);
    next.setDepth (previous.getDepth());
}
}
