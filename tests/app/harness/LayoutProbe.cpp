#include "app/harness/LayoutProbe.h"

#include "ui/look/ZundLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund::test
{
namespace
{
// A window with the main window's frame: its look and feel, its buttons and
// its own 20-pixel title bar with the corner resizer, off the desktop.
struct FrameProbe
{
    ZundLookAndFeel lookAndFeel;
    juce::DocumentWindow window { "probe", juce::Colours::black, juce::DocumentWindow::allButtons, false };

    FrameProbe (int width, int height)
    {
        window.setLookAndFeel (&lookAndFeel);
        window.setResizable (true, true);
        window.setTitleBarHeight (20);
        window.setUsingNativeTitleBar (false);
        window.setSize (width, height);
    }

    ~FrameProbe() { window.setLookAndFeel (nullptr); }
};
}

juce::Point<int> LayoutProbe::contentOrigin() const
{
    FrameProbe probe (windowWidth, windowHeight);
    const auto border = probe.window.getContentComponentBorder();
    return { border.getLeft(), border.getTop() };
}

juce::Rectangle<int> LayoutProbe::closeButton() const
{
    FrameProbe probe (windowWidth, windowHeight);
    auto* button = probe.window.getCloseButton();
    return button != nullptr ? button->getBounds() : juce::Rectangle<int>();
}

std::optional<juce::Rectangle<int>> LayoutProbe::findControl (int) const
{
    return std::nullopt;
}
}
