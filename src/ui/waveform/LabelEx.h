#pragma once

#include "ui/waveform/LabelExListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** A label that reports a mouse press to its listener and does nothing else
    with it (it never starts editing). */
class LabelEx : public juce::Label
{
public:
    explicit LabelEx (const juce::String& name = {}, const juce::String& text = {});

    void setListener (LabelExListener* newListener) noexcept { listener = newListener; }

    void mouseDown (const juce::MouseEvent& e) override;

private:
    LabelExListener* listener = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LabelEx)
};
}
