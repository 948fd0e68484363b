#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The "Closing Zund... Please wait..." panel shown while the program shuts down. */
class ZundCloseComponent : public juce::Component
{
public:
    static constexpr int width = 500;
    static constexpr int height = 40;

    void paint (juce::Graphics& g) override;
};
}
