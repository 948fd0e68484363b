#pragma once

#include "ui/widgets/KelKnob.h"

namespace zund
{
/** A horizontal fader with a flat cap; the knob's drag law, starting and
    defaulting to the middle. After a drag the pointer reappears over the cap. */
class KelCrossfader : public KelKnob
{
public:
    KelCrossfader();

    void paint (juce::Graphics& g) override;

protected:
    juce::Point<int> getPointerReturnPosition() const override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelCrossfader)
};
}
