// The Preferences panel opens with the plug-in windows (always on top) out of
// its way, and each window that was showing comes back when it closes.

#include "BottomBarRig.h"
#include "support/UiEvents.h"
#include "ui/master/MasterStripRig.h"
#include "ui/plugins/AudioPluginContainer.h"
#include "ui/plugins/PluginState.h"

#include <gtest/gtest.h>

using namespace zund;
using namespace zund::test;

TEST (BottomComponent, PlugInWindowsStepAsideForThePreferencesAndComeBackAfter)
{
    MasterStripHostStandIn pluginHost;
    AudioPluginContainer shown (Engine::masterSet, 0, pluginHost), closed (Engine::masterSet, 1, pluginHost);
    for (auto* slot : { &shown, &closed })
    {
        auto plugin = ringModWithFreq (0.5f);
        ASSERT_NE (plugin, nullptr) << "mda-lv2 is not installed";
        auto state = PluginState::createPluginStateXml (plugin.get());
        state->setAttribute ("visible", slot == &shown ? 1 : 0);
        slot->fromXml (state.get());
        ASSERT_NE (slot->getWindow(), nullptr);
    }
    ASSERT_TRUE (shown.isWindowVisible());
    ASSERT_FALSE (closed.isWindowVisible());

    BottomBarRig rig;
    rig.host.pluginSlots = { &shown, &closed };
    rig.dialogs->keepPreferencesOpen = true;
    juce::Component panel;
    rig.bar.setPreferencesComponent (&panel);
    click (rig.bar.getPreferencesButton());
    ASSERT_TRUE (pumpMessagesUntil ([&] { return rig.dialogs->preferencesShown == &panel; }));

    EXPECT_FALSE (shown.isWindowVisible()) << "the plug-in window covers the panel";
    EXPECT_FALSE (closed.isWindowVisible());

    ASSERT_NE (rig.dialogs->closePreferences, nullptr);
    rig.dialogs->closePreferences();
    EXPECT_TRUE (shown.isWindowVisible()) << "the window does not come back";
    EXPECT_TRUE (shown.getWindow()->isAlwaysOnTop());
    EXPECT_FALSE (closed.isWindowVisible()) << "a window the user had closed opens";
}
