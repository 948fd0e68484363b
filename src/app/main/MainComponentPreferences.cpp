#include "app/main/MainComponent.h"

#include "app/device/DeviceLossHandler.h"
#include "ui/bottom/BottomComponent.h"
#include "ui/preferences/PreferencesComponent.h"

namespace zund
{
//==============================================================================
// The preferences panel and what it asks of the main component.

void MainComponent::createPreferencesPanel()
{
    preferencesPanel = std::make_unique<PreferencesComponent> (*this, *engine, deviceManager, preferences.getModel(),
                                                               midiMapping, pluginList);
    for (int deck = 0; deck < PreferencesComponent::numDecks; ++deck)
        engine->setXYView (deck, &preferencesPanel->getXYView (deck));
    bottomBar->setPreferencesComponent (preferencesPanel.get());
}

void MainComponent::deletePreferencesPanel()
{
    for (int deck = 0; deck < PreferencesComponent::numDecks; ++deck)
        engine->setXYView (deck, nullptr);
    preferencesPanel.reset();
}

void MainComponent::setTestToneOn (bool on)
{
    audioCallback->setTestToneOn (on);
}

void MainComponent::setXYViewsShowing (bool showing)
{
    // The audio thread reads the flag, never the panel.
    audioCallback->setXYViewsVisible (showing);

    // The device selector offers a lost device that has come back.
    if (showing && deviceLoss != nullptr)
        deviceLoss->refreshDeviceLists();
}
}
