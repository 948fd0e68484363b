#include "app/harness/LayoutProbe.h"

#include "app/main/MainLayout.h"
#include "engine/Engine.h"
#include "ui/bottom/BottomBarHostStandIn.h"
#include "ui/bottom/BottomComponent.h"
#include "ui/channel/ChannelContainer.h"
#include "ui/look/ZundLookAndFeel.h"
#include "ui/master/MainChannel.h"
#include "ui/master/MasterStripHostBase.h"
#include "ui/panels/CrossfaderContainer.h"
#include "ui/widgets/ExComponent.h"

#include <functional>

namespace zund::test
{
namespace
{
constexpr int masterSection = 7, crossfaderSection = 10, numStrips = 4;

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

    juce::Rectangle<int> content()
    {
        return window.getContentComponentBorder().subtractedFrom (window.getLocalBounds());
    }
};

// The panels the main component shows (channel strips, crossfader panel,
// master strip, bottom bar), made, shown and laid out as it makes, shows and
// lays them out.
struct MixerProbe
{
    MasterStripHostBase host;
    BottomBarHostStandIn barHost;
    juce::Component main;
    ChannelContainer channels { &host };
    CrossfaderContainer crossfader;
    MainChannel master { &host };
    BottomComponent bottomBar { *host.engine, barHost };
    MainLayout layout;

    MixerProbe (int width, int height, const LayoutProbe::Sections& sections)
    {
        main.setSize (width, height);
        main.addAndMakeVisible (channels);
        main.addAndMakeVisible (crossfader);
        main.addAndMakeVisible (master);
        main.addAndMakeVisible (bottomBar);

        for (int i = 0; i < LayoutProbe::numSections; ++i)
            if (i != masterSection && i != crossfaderSection)
                channels.setSectionVisible (i, sections[(size_t) i]);
        master.setVisible (sections[masterSection]);
        crossfader.setVisible (sections[crossfaderSection]);

        MainLayout::Sizes sizes;
        sizes.width = width;
        sizes.height = height;
        sizes.masterVisible = master.isVisible();
        sizes.masterWidth = master.getWidth();
        sizes.masterHeight = master.getHeight();
        sizes.crossfaderVisible = crossfader.isVisible();
        sizes.crossfaderHeight = crossfader.getHeight();
        sizes.bottomBarHeight = bottomBar.getHeight();
        sizes.channelsHeightForWidth = [this] (int w) { return channels.getHeightForWidth (w); };
        layout = MainLayout::compute (sizes);
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

template <typename Question>
auto askMixer (const LayoutProbe& probe, Question&& question)
{
    FrameProbe frame (probe.windowWidth, probe.windowHeight);
    const auto content = frame.content();
    MixerProbe mixer (content.getWidth(), content.getHeight(), probe.sections);
    return question (mixer, content.getTopLeft());
}
}

LayoutProbe::Sections LayoutProbe::freshStart()
{
    Sections shown;
    shown.fill (true);
    shown[2] = shown[3] = false;
    return shown;
}

LayoutProbe::Sections LayoutProbe::shownBy (const juce::XmlElement& preferences)
{
    Sections shown;
    for (int i = 0; i < numSections; ++i)
        shown[(size_t) i] = preferences.getBoolAttribute ("MODULE_ACTIVE_" + juce::String (i), true);
    const int count = preferences.getIntAttribute ("NumChannels", 2);
    if (count >= 2 && count <= numStrips)
        for (int k = 0; k < numStrips; ++k)
            shown[(size_t) k] = k < count;
    return shown;
}

juce::Point<int> LayoutProbe::contentOrigin() const
{
    FrameProbe probe (windowWidth, windowHeight);
    return probe.content().getTopLeft();
}

juce::Rectangle<int> LayoutProbe::closeButton() const
{
    FrameProbe probe (windowWidth, windowHeight);
    auto* button = probe.window.getCloseButton();
    return button != nullptr ? button->getBounds() : juce::Rectangle<int>();
}

std::optional<juce::Rectangle<int>> LayoutProbe::findControl (int controlId) const
{
    return askMixer (*this, [controlId] (MixerProbe& mixer, juce::Point<int> origin) {
        return mixer.boundsOf (ExComponent::getComponentByID (controlId), origin);
    });
}

std::optional<juce::Rectangle<int>>
LayoutProbe::findBottomBarWidget (const std::function<juce::Component& (BottomComponent&)>& pick) const
{
    return askMixer (*this, [&pick] (MixerProbe& mixer, juce::Point<int> origin) {
        return mixer.boundsOf (&pick (mixer.bottomBar), origin);
    });
}

std::optional<juce::Rectangle<int>> LayoutProbe::findView (View view, int index) const
{
    return askMixer (*this, [view, index] (MixerProbe& mixer, juce::Point<int> origin) {
        juce::Component* widget = nullptr;
        if (view == View::pluginSlotButton)
        {
            if (index >= 0 && index < FXContainer::numPluginSlots)
                widget = &mixer.master.getFXContainer().getPluginSlot (index).getNameButton();
        }
        else if (auto* strip = mixer.channels.getChannel (index))
        {
            auto& display = strip->getWaveDisplay();
            widget = view == View::waveDisplay     ? static_cast<juce::Component*> (&display)
                   : view == View::scrollingWave ? static_cast<juce::Component*> (&display.getWaveComponent())
                                                 : &display.getOverview();
        }
        return mixer.boundsOf (widget, origin);
    });
}

juce::Rectangle<int> LayoutProbe::browserArea() const
{
    return askMixer (*this, [] (MixerProbe& mixer, juce::Point<int> origin) {
        return mixer.layout.browser + origin;
    });
}
}
