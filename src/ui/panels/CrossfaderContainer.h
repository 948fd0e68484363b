#pragma once

#include "ui/panels/ModuleComponent.h"
#include "ui/widgets/KelCrossfader.h"
#include "ui/widgets/SelectorGrid.h"

namespace zund
{
/** "Crossfader": the thin panel between the channel strips and the browser.
    The crossfader, a grid on each side naming the channel that side fades
    ("1".."4", or "THRU" for none) and the curve grid "SLOW", "MID", "FAST".
    Its widgets report to the control dispatcher (ids 600..603), which drives
    the engine; the panel only builds, places and numbers them. */
class CrossfaderContainer : public ModuleComponent
{
public:
    static constexpr int defaultWidth = 718;
    static constexpr int defaultHeight = 37;
    /** The side grids' "THRU" cell: the side fades no channel. */
    static constexpr int thruCell = 4;
    static constexpr int midCurveCell = 1;

    CrossfaderContainer();
    ~CrossfaderContainer() override;

    SelectorGrid& getSideAGrid() noexcept { return sideA; }
    SelectorGrid& getSideBGrid() noexcept { return sideB; }
    SelectorGrid& getCurveGrid() noexcept { return curve; }
    KelCrossfader& getCrossfader() noexcept { return crossfader; }

    /** Everything on one row, centred on the panel's middle. */
    void resized() override;

private:
    SelectorGrid sideA { 0, nullptr };
    SelectorGrid sideB { 0, nullptr };
    SelectorGrid curve { 0, nullptr };
    KelCrossfader crossfader;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CrossfaderContainer)
};
}
