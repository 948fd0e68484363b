#include "ui/panels/CrossfaderContainer.h"

#include "ui/panels/ControlIds.h"

namespace zund
{
namespace
{
constexpr int rowY = 17;
constexpr int rowHeight = 16;
constexpr int gridWidth = 150;
constexpr int crossfaderWidth = 192;

void setUpSideGrid (SelectorGrid& grid)
{
    grid.setRows (1);
    grid.setColumns (5);
    grid.setCellTexts ({ "1", "2", "3", "4", "THRU" });
    // Without notification: the engine starts with no channel on either side.
    grid.selectIndex (CrossfaderContainer::thruCell, false);
    grid.setTextStyle (10.0f, juce::Font::bold);
}
}

CrossfaderContainer::CrossfaderContainer()
    : ModuleComponent ("Crossfader")
{
    setUpSideGrid (sideA);
    addAndMakeVisible (sideA);
    setUpSideGrid (sideB);
    addAndMakeVisible (sideB);

    curve.setRows (1);
    curve.setColumns (3);
    curve.setCellTexts ({ "SLOW", "MID", "FAST" });
    curve.selectIndex (midCurveCell, false);
    addAndMakeVisible (curve);

    crossfader.setPixelsPerRange (300.0f);
    addAndMakeVisible (crossfader);

    setSize (defaultWidth, defaultHeight);

    using namespace ControlIds;
    crossfader.setID (ControlIds::crossfader);
    sideA.setID (crossfaderSideA);
    sideB.setID (crossfaderSideB);
    curve.setID (crossfaderCurve);
}

CrossfaderContainer::~CrossfaderContainer() = default;

void CrossfaderContainer::resized()
{
    const int middle = getWidth() / 2;
    sideA.setBounds (middle - 374, rowY, gridWidth, rowHeight);
    crossfader.setBounds (middle - 190, rowY, crossfaderWidth, rowHeight);
    sideB.setBounds (middle + 42, rowY, gridWidth, rowHeight);
    curve.setBounds (middle + 234, rowY, gridWidth, rowHeight);
}
}
