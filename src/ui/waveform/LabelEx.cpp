#include "ui/waveform/LabelEx.h"

namespace zund
{
LabelEx::LabelEx (const juce::String& name, const juce::String& text)
    : juce::Label (name, text)
{
}

void LabelEx::mouseDown (const juce::MouseEvent&)
{
    if (listener != nullptr)
        listener->labelExClicked (this);
}
}
