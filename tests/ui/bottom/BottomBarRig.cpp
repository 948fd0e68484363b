#include "BottomBarRig.h"

#include "support/UiEvents.h"

#include <vector>

namespace zund::test
{
void click (juce::Component& widget)
{
    const auto e = mouseEventAt (widget, widget.getLocalBounds().getCentre());
    widget.mouseDown (e);
    widget.mouseUp (e);
}

void runEngine (Engine& engine, double seconds)
{
    constexpr int blockSize = 256;
    std::vector<float> left (blockSize), right (blockSize), silence (blockSize);
    float* outputs[] = { left.data(), right.data() };
    const float* inputs[] = { silence.data(), silence.data() };
    const int blocks = (int) (seconds * engine.getSampleRate() / blockSize);
    for (int b = 0; b < blocks; ++b)
        engine.processBlock (inputs, 2, outputs, 2, blockSize, false);
}
}
