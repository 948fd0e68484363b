#pragma once

#include "ui/widgets/KelButton.h"

namespace zund
{
/** The button beside the search field that opens the field menu: a blue
    rounded square with a white magnifying glass. */
class MagnifyingGlassButton : public KelButton
{
public:
    explicit MagnifyingGlassButton (ExComponentListener* listener);

    void paint (juce::Graphics& g) override;
};
}
