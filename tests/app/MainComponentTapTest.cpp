// TAP lights while it is tapped and goes off again by itself a moment later,
// each time, as a released button does.

#include "app/MainComponent.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/panels/ControlIds.h"
#include "ui/widgets/ExComponent.h"

#include <gtest/gtest.h>

using namespace zund;

TEST (MainComponent, TapLightsAndGoesOffAgainByItself)
{
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    auto* tap = ExComponent::getComponentByID (ControlIds::tap);
    ASSERT_NE (tap, nullptr);

    for (int taps = 0; taps < 2; ++taps)
    {
        tap->setValue (1.0f, true);
        EXPECT_TRUE (tap->isOn()) << "tap " << taps;
        EXPECT_TRUE (test::pumpMessagesUntil ([&] { return ! tap->isOn(); }, 2000)) << "TAP stays lit, tap " << taps;
        EXPECT_EQ (tap->getValue(), 0.0f);
    }
}
