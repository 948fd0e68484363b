#pragma once

#include "ui/widgets/KelButton.h"

namespace zund
{
/** A numbered cue marker on the waveform overview: a round head with the number
    over a short stem. A right click first moves it out of sight (x = -100) and
    then presses it like any button. */
class CuePointComponent : public KelButton
{
public:
    /** The class-wide colours; the colour scheme edits them in place. Every new
        marker sets them back to these defaults. */
    struct Colours
    {
        juce::Colour text { 0xff000000 };
        juce::Colour outline { 0xff000000 };
        juce::Colour inside { 0xffffffff };
        juce::Colour insideOver { 0xffffff00 };
        juce::Colour insidePressed { 0xffff0000 };
    };
    static Colours colours;

    CuePointComponent (int id, ExComponentListener* listener);
    ~CuePointComponent() override;

    void setNumber (int newNumber);
    int getNumber() const noexcept { return number; }

    /** Repaints every live marker (after a colour-scheme change). */
    static void repaintAll();

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;

    static constexpr int hiddenX = -100;

private:
    int number = 1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CuePointComponent)
};
}
