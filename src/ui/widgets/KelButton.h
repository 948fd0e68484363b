#pragma once

#include "ui/widgets/ExComponent.h"
#include "ui/widgets/FilmStrip.h"

namespace zund
{
/** A momentary push button: the listener hears 1 on press and 0 on release.
    Drawn from a 4-frame image strip (normal, mouse over, on, on with mouse over)
    when one is set, else as a grey button box with its caption. */
class KelButton : public ExComponent
{
public:
    KelButton (int id, ExComponentListener* listener);

    /** Stores the value as it is (no limits; NaN takes the default), notifies
        when asked, marks dirty. */
    void setValue (float newValue, bool notify) override;

    /** A strip of 4 frames stacked vertically; an invalid image draws the box. */
    void setImage (const juce::Image& image);

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

protected:

private:
    FilmStrip strip;

    static constexpr int numImageFrames = 4;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelButton)
};
}
