#include "app/main/MainComponent.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"
#include "ui/preferences/PreferencesComponent.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zund;

namespace
{
// Device inputs 1/2 carry a circle (sine and cosine at 0.4) through the callback.
void playCircle (MainAudioCallback& callback, int blocks)
{
    constexpr int blockSize = 256;
    std::vector<float> left (blockSize), right (blockSize), outLeft (blockSize), outRight (blockSize);
    const float* inputs[] = { left.data(), right.data() };
    float* outputs[] = { outLeft.data(), outRight.data() };
    for (int b = 0; b < blocks; ++b)
    {
        for (int i = 0; i < blockSize; ++i)
        {
            const double phase = 2.0 * M_PI * 500.0 * (b * blockSize + i) / 44100.0;
            left[(size_t) i] = 0.4f * (float) std::sin (phase);
            right[(size_t) i] = 0.4f * (float) std::cos (phase);
        }
        callback.audioDeviceIOCallbackWithContext (inputs, 2, outputs, 2, blockSize, {});
    }
}

// Pixels the view lit since it last painted (older ones have faded).
int freshDots (XYView& view)
{
    const auto image = test::snapshotOf (view);
    int lit = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            lit += image.getPixelAt (x, y).getBrightness() > 0.99f ? 1 : 0;
    return lit;
}
}

TEST (MainComponentPreferences, TheEngineFeedsTheDecksXYViewsOnlyWhileThePanelIsShown)
{
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    auto* panel = main.getPreferencesPanel();
    ASSERT_NE (panel, nullptr);
    EXPECT_EQ (panel->getParentComponent(), nullptr);
    EXPECT_FALSE (main.isParentOf (panel));

    main.getEngine().setDeckInput (1, 0); // deck 2 on inputs 1/2 (no device here to route it)
    auto& deck2 = panel->getXYView (1);

    playCircle (main.getAudioCallback(), 20);
    EXPECT_EQ (freshDots (deck2), 0);

    juce::Component dialog; // the bottom bar's dialog window
    dialog.setVisible (true);
    dialog.addAndMakeVisible (*panel);
    playCircle (main.getAudioCallback(), 20);
    EXPECT_GT (freshDots (deck2), 100);
    EXPECT_LE (freshDots (panel->getXYView (0)), 1); // deck 1 has no input: the centre at most

    dialog.removeChildComponent (panel);
    playCircle (main.getAudioCallback(), 20);
    EXPECT_EQ (freshDots (deck2), 0);
}

TEST (MainComponentPreferences, TestToneToggleReachesTheAudioCallback)
{
    test::ScopedProgramFolder folder;
    MainComponent main (nullptr);
    juce::Button* testTone = nullptr;
    for (auto* child : main.getPreferencesPanel()->getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == "Test Tone")
            testTone = button;
    ASSERT_NE (testTone, nullptr);

    testTone->triggerClick();
    test::pumpMessagesUntil ([&] { return main.getAudioCallback().isTestToneOn(); });
    EXPECT_TRUE (main.getAudioCallback().isTestToneOn());
    testTone->triggerClick();
    test::pumpMessagesUntil ([&] { return ! main.getAudioCallback().isTestToneOn(); });
    EXPECT_FALSE (main.getAudioCallback().isTestToneOn());
}
