#pragma once

#include "common/events/SharedTimer.h"
#include "engine/XYInputListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <memory>

namespace zund
{
/** An X-Y dot display of one deck's stereo input (left across, right down),
    for judging the timecode signal. The audio thread pushes sample pairs into
    a lock-free ring; every 20 ms the view fades its image and lights one pixel
    per waiting pair.

    The audio thread touches only the write index and the rings; the message
    thread only the read index and the image. The owner unregisters the view
    from the engine before deleting it. */
class XYView : public juce::Component, public SharedTimer, public XYInputListener
{
public:
    XYView();
    ~XYView() override;

    /** Audio thread: no allocation, no locks. Nothing while the view is
        hidden; pairs beyond a full ring are dropped. */
    void addSamples (const float* left, const float* right, int numSamples) override;

    void resized() override;
    void paint (juce::Graphics& g) override;
    void visibilityChanged() override;
    void timerCallback() override;

    static constexpr int ringSize = 65536; // at most ringSize - 1 pairs wait
    static constexpr int refreshIntervalMs = 20;

private:
    static constexpr int ringMask = ringSize - 1;

    void plotWaitingPairs (juce::Image::BitmapData& pixels);

    // The reader owns the slot at readIndex: it plots up to writeIndex - 2 and
    // stops at writeIndex - 1, so the writer never touches a slot being read.
    std::atomic<int> readIndex { 0 };
    std::atomic<int> writeIndex { 1 };
    std::atomic<bool> accepting { false }; // mirrors isVisible() for the audio thread
    std::unique_ptr<float[]> xRing;        // left samples
    std::unique_ptr<float[]> yRing;        // right samples
    juce::Image image;                     // RGB, the view's size; null while it has none
    juce::CriticalSection lock;            // the image, between paint and resize

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (XYView)
};
}
