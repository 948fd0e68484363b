#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The background of the browser's search row: a dark vertical gradient with a
    line along its bottom. */
class HolderComponent : public juce::Component
{
public:
    void paint (juce::Graphics& g) override;
};
}
