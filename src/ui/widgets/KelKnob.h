#pragma once

#include "ui/widgets/ExComponent.h"
#include "ui/widgets/FilmStrip.h"

namespace zund
{
/** A rotary knob: dragging up (or right, when wider than tall) turns it up.
    180 pixels span the whole range (setPixelsPerRange), Shift makes steps five
    times finer, and Ctrl, pressed during a drag or held while clicking, snaps it
    to its default value once per press and freezes the drag while held. The
    pointer is hidden during the drag, may travel without bound and is put back
    where it went down.

    Drawn from the knobs' shared film strip when one is set, else as a yellow
    disc with a pointer from down-left (0) to down-right (1). */
class KelKnob : public ExComponent,
                private juce::Timer
{
public:
    KelKnob();
    ~KelKnob() override;

    /** Limits to 0..1; notifies when asked (also without change); marks dirty
        only on a change. */
    void setValue (float newValue, bool notify) override;

    /** The film strip all knobs draw from (frames stacked vertically); an
        invalid image draws the vector form. A knob built later clears it. */
    static void setFilmStrip (const juce::Image& image, int numFrames);
    static const FilmStrip& getFilmStrip() noexcept;

    void setKnobEnabled (bool enabled);
    void setHorizontal (bool shouldBeHorizontal) noexcept { horizontal = shouldBeHorizontal; }
    bool isHorizontal() const noexcept { return horizontal; }
    /** The drag distance that spans the whole range; 0 means 180. */
    void setPixelsPerRange (float pixels) noexcept;
    float getPixelsPerRange() const noexcept { return pixelsPerRange; }

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

protected:
    bool isDragging() const noexcept { return dragging; }
    /** Where the pointer reappears after a drag (screen coordinates). */
    virtual juce::Point<int> getPointerReturnPosition() const;
    juce::Point<int> getDragStartScreenPosition() const noexcept { return { startScreenX, startScreenY }; }

private:
    void timerCallback() override;

    bool ctrlHeld = false;
    bool previousCtrl = false;
    bool dragging = false;
    int startScreenX = 0, startScreenY = 0;
    int lastPosition = 0;
    bool horizontal = false;
    float pixelsPerRange = defaultPixelsPerRange;
    float valuePerPixel = 1.0f / defaultPixelsPerRange;

    static constexpr float defaultPixelsPerRange = 180.0f;
    static constexpr int ctrlPollMs = 20;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KelKnob)
};
}
