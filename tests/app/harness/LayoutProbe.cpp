#include "app/harness/LayoutProbe.h"

#include "app/MainLayout.h"
#include "engine/Engine.h"
#include "ui/bottom/BottomBarHostStandIn.h"
#include "ui/bottom/BottomComponent.h"
#include "ui/channel/ChannelContainer.h"
#include "ui/look/ZundLookAndFeel.h"
#include "ui/master/MainChannel.h"
#include "ui/master/MasterStripHostBase.h"
#include "ui/panels/CrossfaderContainer.h"
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

// The panels the main component shows at the start (two channel strips, the
// crossfader panel, the master strip, the bottom bar), made and laid out as it
// makes and lays them out.
struct MixerProbe
{
    MasterStripHostBase host;
    BottomBarHostStandIn barHost;
    juce::Component main;
    ChannelContainer channels { &host };
    CrossfaderContainer crossfader;
    MainChannel master { &host };
    BottomComponent bottomBar { *host.engine, barHost };

    MixerProbe (int width, int height)
    {
        main.setSize (width, height);
        main.addAndMakeVisible (channels);
        main.addAndMakeVisible (crossfader);
        main.addAndMakeVisible (master);
        main.addAndMakeVisible (bottomBar);

        MainLayout::Sizes sizes;
        sizes.width = width;
        sizes.height = height;
        sizes.masterVisible = true;
        sizes.masterWidth = master.getWidth();
        sizes.masterHeight = master.getHeight();
        sizes.crossfaderVisible = true;
        sizes.crossfaderHeight = crossfader.getHeight();
        sizes.bottomBarHeight = bottomBar.getHeight();
        sizes.channelsHeightForWidth = [this] (int w) { return channels.getHeightForWidth (w); };
        const auto layout = MainLayout::compute (sizes);
        channels.setBounds (layout.channels);
        crossfader.setBounds (layout.crossfader);
        master.setBounds (layout.master);
        bottomBar.setBounds (layout.bottomBar);
    }

    // Where the widget is in the window; nothing when it is not shown.
    std::optional<juce::Rectangle<int>> boundsOf (juce::Component* widget, juce::Point<int> origin) const
    {
        if (widget == nullptr || ! main.isParentOf (widget))
            return std::nullopt;
        for (juce::Component* c = widget; c != &main; c = c->getParentComponent())
            if (! c->isVisible())
                return std::nullopt;
        return main.getLocalArea (widget, widget->getLocalBounds()) + origin;
    }
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
    MixerProbe mixer (content.getWidth(), content.getHeight());

    return mixer.boundsOf (ExComponent::getComponentByID (controlId), contentOrigin());
}

std::optional<juce::Rectangle<int>>
LayoutProbe::findBottomBarWidget (const std::function<juce::Component& (BottomComponent&)>& pick) const
{
    FrameProbe frame (windowWidth, windowHeight);
    const auto content = frame.window.getContentComponentBorder().subtractedFrom (frame.window.getLocalBounds());
    MixerProbe mixer (content.getWidth(), content.getHeight());
    return mixer.boundsOf (&pick (mixer.bottomBar), contentOrigin());
}
}
