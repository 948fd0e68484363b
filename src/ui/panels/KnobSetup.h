#pragma once

#include "ui/widgets/KelKnob.h"
#include "ui/widgets/SelectorGrid.h"

namespace zund
{
/** A knob of a module panel at its value, which is also its default. */
void addKnob (juce::Component& panel, KelKnob& knob, float value, juce::Rectangle<int> bounds);

/** A one-column grid with one cell per text (the filter kind, the EQ mode),
    the first cell chosen. */
void addModeGrid (juce::Component& panel, SelectorGrid& grid, const juce::StringArray& texts,
                  juce::Rectangle<int> bounds);
}
