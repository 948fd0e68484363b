#pragma once

#include "ui/MixerHost.h"
#include "ui/plugins/PluginSlotHost.h"

namespace zund
{
/** What the master strip asks of the main component beyond what every panel
    asks: the tap tempo, the effect tempo and the plug-in slots' needs. */
class MasterStripHost : public MixerHost,
                        public PluginSlotHost
{
public:
    /** The tap-tempo counter's tempo (BPM). */
    virtual float getTapTempo() const = 0;
    /** The tempo the effects and plug-ins follow (BPM). */
    virtual void setEffectTempo (double bpm) = 0;
};
}
