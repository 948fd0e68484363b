#include "app/main/MainComponent.h"

#include "library/browser/ZundBrowser.h"
#include "ui/channel/Channel.h"
#include "ui/colours/ColourSchemeEntries.h"
#include "ui/colours/ColourSchemeFiles.h"
#include "ui/colours/ZundColourSelector.h"
#include "ui/master/MainChannel.h"
#include "ui/panels/ModuleComponent.h"
#include "ui/plugins/AudioPluginContainer.h"
#include "ui/widgets/CuePointComponent.h"
#include "ui/widgets/LevelMeterSlider.h"

#include <iostream>

namespace zund
{
namespace
{
void bindControlButton (MixerColours::ControlButton& set, juce::Colour* (&slots)[4])
{
    slots[0] = &set.on1;
    slots[1] = &set.on2;
    slots[2] = &set.off1;
    slots[3] = &set.off2;
}
}

void MainComponent::createColourSelector()
{
    colourSelector = std::make_unique<ZundColourSelector>();

    HostColourSlots host;
    host.applicationBackground = &colours.applicationBackground;
    host.browserBackground = browser != nullptr ? &browser->getBackgroundColour() : nullptr;
    bindControlButton (colours.type1, host.controlType1);
    bindControlButton (colours.type2, host.controlType2);
    host.mainChannelBpm = mainChannel != nullptr ? &mainChannel->bpmColour : nullptr;
    addColourSchemeEntries (*colourSelector, host);
    colourSelector->addChangeListener (this);

    colourFiles = std::make_unique<ColourSchemeFiles> (*colourSelector);
    colourFiles->loadAtStartup();
}

void MainComponent::saveColoursAndDeleteSelector()
{
    if (colourFiles != nullptr)
    {
        juce::String error;
        if (! colourFiles->saveAtShutdown (&error))
            std::cerr << "Zund: defaultColours.xml was not written: " << error << std::endl;
    }
    colourFiles.reset();
    colourSelector.reset();
}

void MainComponent::colourSchemeChanged()
{
    repaint();
    ModuleComponent::repaintAll();
    LevelMeterSlider::rebuildAll(); // the caps are pre-drawn in the scheme's colours
    CuePointComponent::repaintAll();
    AudioPluginContainer::repaintAll();
    if (browser != nullptr)
        browser->updateColours();
    if (mainChannel != nullptr)
        mainChannel->updateColours();
    refreshDeckIndicators();
    for (int c = 0; c < numChannelStrips; ++c)
        if (auto* strip = getChannel (c))
            strip->getWaveDisplay().updateColours();
}

void MainComponent::showColourSelector()
{
    if (colourSelector == nullptr)
        return;

    // The dialog that asked (the preferences) steps aside while the selector is up.
    juce::Component::SafePointer<juce::Component> asking (juce::Component::getCurrentlyModalComponent());
    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (colourSelector.get());
    options.dialogTitle = "Colour Selector";
    options.dialogBackgroundColour = juce::Colours::white;
    options.componentToCentreAround = asking != nullptr ? asking.getComponent() : this;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = false;
    options.resizable = false;
    if (asking != nullptr)
        asking->setVisible (false);

    options.runModal();

    if (asking != nullptr)
        asking->setVisible (true);
}
}
