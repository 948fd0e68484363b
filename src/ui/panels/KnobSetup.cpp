#include "ui/panels/KnobSetup.h"

namespace zund
{
namespace
{
// Small enough for "SVF" and "ISO" in a 30-pixel cell.
constexpr float gridTextHeight = 10.0f;
}

void addKnob (juce::Component& panel, KelKnob& knob, float value, juce::Rectangle<int> bounds)
{
    knob.setDefaultValue (value);
    knob.setValue (value, false);
    knob.setBounds (bounds);
    panel.addAndMakeVisible (knob);
}

void addModeGrid (juce::Component& panel, SelectorGrid& grid, const juce::StringArray& texts,
                  juce::Rectangle<int> bounds)
{
    grid.setRows (texts.size());
    grid.setColumns (1);
    grid.setCellTexts (texts);
    grid.setTextStyle (gridTextHeight, juce::Font::bold);
    grid.selectIndex (0, false);
    grid.setBounds (bounds);
    panel.addAndMakeVisible (grid);
}
}
