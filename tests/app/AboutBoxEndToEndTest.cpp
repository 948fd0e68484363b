// The about box in the real program: the bottom bar's INFO button shows it in
// the middle of the screen, white text on black, and a key closes it.

#include "app/harness/EndToEndTest.h"
#include "ui/bottom/BottomComponent.h"
#include "ui/dialogs/AboutBoxComponent.h"

using namespace zund;
using namespace std::chrono_literals;

namespace
{
class AboutBoxByUser : public test::EndToEndTest
{
};
}

TEST_F (AboutBoxByUser, InfoOpensItAndAKeyClosesIt)
{
    startProgram();
    ASSERT_TRUE (waitForWindow());

    const auto info = layout().findBottomBarWidget (
        [] (BottomComponent& bar) -> juce::Component& { return bar.getInfoButton(); });
    ASSERT_TRUE (info.has_value());
    input->click (window->id, info->getCentreX(), info->getCentreY());

    const auto box = waitForOtherWindow();
    ASSERT_TRUE (box.has_value()) << "INFO showed nothing";
    EXPECT_EQ (juce::Rectangle<int> (box->x, box->y, box->width, box->height),
               juce::Rectangle<int> (AboutBoxComponent::width, AboutBoxComponent::height)
                   .withCentre ({ 1920 / 2, 1200 / 2 }));
    ASSERT_TRUE (test::waitUntil (
        [&] {
            const auto screen = screenNow();
            // The version line at the top left: white on black.
            return screen && showsInk (*screen, { 10, 10, 200, 30 }, Ink::light, box)
                && showsInk (*screen, { 10, 10, 200, 30 }, Ink::dark, box);
        },
        10s))
        << "the box shows no text";

    input->focus (box->id);
    ASSERT_TRUE (input->pressKey ("space"));
    EXPECT_TRUE (waitUntilStirring (
        window->id,
        [&] {
            for (const auto& w : x->listWindows())
                if (w.id == box->id)
                    return false;
            return true;
        },
        10s))
        << "the box stayed after a key";

    // The program goes on and quits as before.
    EXPECT_EQ (x->countWindows (windowTitle), 1);
    const auto code = closeProgram();
    ASSERT_TRUE (code.has_value()) << "the program did not quit";
    EXPECT_EQ (*code, 0);
}
