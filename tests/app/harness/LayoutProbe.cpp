#include "app/harness/LayoutProbe.h"

#include "app/MainLayout.h"
#include "engine/Engine.h"
#include "ui/channel/ChannelContainer.h"
#include "ui/master/MainChannel.h"
#include "ui/master/MasterStripHostBase.h"
#include "ui/look/ZundLookAndFeel.h"
#include "ui/widgets/ExComponent.h"

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

std::optional<juce::Rectangle<int>> LayoutProbe::findControl (int controlId) const
{
    FrameProbe frame (windowWidth, windowHeight);
    const auto content = frame.window.getContentComponentBorder().subtractedFrom (frame.window.getLocalBounds());

    // The main component's children as it lays them out (the channel strips,
    // strips 1 and 2 with every panel shown, and the master strip so far).
    MasterStripHostBase host;
    juce::Component main;
    main.setSize (content.getWidth(), content.getHeight());
    ChannelContainer strips (&host);
    MainChannel master (&host);
    main.addAndMakeVisible (strips);
    main.addAndMakeVisible (master);

    MainLayout::Sizes sizes;
    sizes.width = main.getWidth();
    sizes.height = main.getHeight();
    sizes.masterVisible = true;
    sizes.masterWidth = master.getWidth();
    sizes.masterHeight = master.getHeight();
    sizes.channelsHeightForWidth = [&strips] (int width) { return strips.getHeightForWidth (width); };
    const auto layout = MainLayout::compute (sizes);
    strips.setBounds (layout.channels);
    master.setBounds (layout.master);

    auto* widget = ExComponent::getComponentByID (controlId);
    if (widget == nullptr || ! main.isParentOf (widget))
        return std::nullopt;
    for (juce::Component* c = widget; c != &main; c = c->getParentComponent())
        if (! c->isVisible())
            return std::nullopt;
    return main.getLocalArea (widget, widget->getLocalBounds()) + contentOrigin();
}
}
