#pragma once

#include "ui/widgets/KelToggleButton.h"

namespace zund
{
/** The record button: a red dot on a dark button box, bright while lit. It
    blinks while it is on. */
class KelToggleButtonRecord : public KelToggleButton
{
public:
    explicit KelToggleButtonRecord (ExComponentListener* listener);

    void paint (juce::Graphics& g) override;

    static constexpr juce::uint32 dotColour = 0xffff0000;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelToggleButtonRecord)
};
}
