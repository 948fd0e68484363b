#include "engine/effects/EffectFactory.h"

#include "engine/effects/AutoFilter.h"
#include "engine/effects/Chorus.h"
#include "engine/effects/Echo.h"
#include "engine/effects/Pan.h"
#include "engine/effects/Phaser.h"
#include "engine/effects/Reverb.h"
#include "engine/effects/ThruFX.h"
#include "engine/effects/Tremolo.h"

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
