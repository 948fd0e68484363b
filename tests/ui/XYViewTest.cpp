#include "ui/preferences/XYView.h"

#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

using namespace zund;

namespace
{
struct XYRig
{
    XYView view;

    XYRig (int width, int height)
    {
        view.stopTimer();
        view.setBounds (0, 0, width, height);
        view.setVisible (true);
    }

    void feed (float left, float right, int count = 1)
    {
        const std::vector<float> l ((size_t) count, left), r ((size_t) count, right);
        view.addSamples (l.data(), r.data(), count);
    }

    // The view shows a pair one refresh after the pair behind it arrived, so a
    // test pushes a silent pair after the ones it looks for.
    juce::Image show()
    {
        feed (0.0f, 0.0f);
        return test::snapshotOf (view);
    }

    static std::vector<juce::Point<int>> litPixels (const juce::Image& image)
    {
        std::vector<juce::Point<int>> lit;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (image.getPixelAt (x, y).getBrightness() > 0.99f)
                    lit.push_back ({ x, y });
        return lit;
    }
};

using Points = std::vector<juce::Point<int>>;
}

TEST (XYView, silentInputLightsOneCentreDotThatFades)
{
    XYRig rig (64, 64);
    rig.feed (0.0f, 0.0f, 256);
    auto image = rig.show();
    EXPECT_EQ (XYRig::litPixels (image), (Points { { 32, 32 } }));

    for (int i = 0; i < 4; ++i)
        image = test::snapshotOf (rig.view); // nothing new arrives
    EXPECT_NEAR (image.getPixelAt (32, 32).getRed(), 80, 1) << "255 x 0.75 four times";
}

TEST (XYView, mapsLeftAcrossTheWidthAndRightDownTheHeight)
{
    XYRig rig (100, 40);
    rig.feed (0.25f, -0.25f);
    rig.feed (-0.4f, 0.4f);
    rig.feed (2.0f, -2.0f); // beyond full scale: the edges
    const auto lit = XYRig::litPixels (rig.show());

    const Points expected { { 99, 0 }, { 75, 10 }, { 50, 20 }, { 10, 36 } }; // in row order
    EXPECT_EQ (lit, expected);
}

TEST (XYView, fullRingDropsTheRestUntilTheViewHasDrawn)
{
    XYRig rig (64, 64);
    rig.feed (0.0f, 0.0f, XYView::ringSize - 2);
    rig.feed (0.25f, 0.25f);   // the last free slot
    rig.feed (-0.25f, -0.25f); // no room
    EXPECT_EQ (XYRig::litPixels (test::snapshotOf (rig.view)), (Points { { 32, 32 } }));
    EXPECT_EQ (XYRig::litPixels (rig.show()), (Points { { 48, 48 } })) << "room again once drawn";
}

TEST (XYView, hiddenViewTakesNothingAndBadInputIsHarmless)
{
    XYRig rig (64, 64);
    rig.show(); // the start slot
    rig.view.setVisible (false);
    rig.feed (0.25f, 0.25f, 100);
    rig.view.setVisible (true);
    EXPECT_EQ (XYRig::litPixels (rig.show()), (Points { { 32, 32 } })) << "only silent pairs waited";

    const float nan = std::numeric_limits<float>::quiet_NaN();
    rig.feed (nan, 0.1f);
    rig.feed (0.1f, std::numeric_limits<float>::infinity());
    rig.view.addSamples (nullptr, nullptr, 10);
    EXPECT_EQ (XYRig::litPixels (rig.show()), (Points { { 32, 32 } }));

    rig.view.setBounds (0, 0, 0, 0);
    EXPECT_EQ (test::snapshotOf (rig.view).getPixelAt (0, 0).getAlpha(), 0) << "no image, nothing drawn";
}

TEST (XYView, audioThreadFeedsWhileTheViewDraws)
{
    XYRig rig (64, 64);
    std::atomic<bool> done { false };

    // A quarter-scale sine and cosine: a circle of radius 16 around the centre.
    std::thread audio ([&]
    {
        float left[256], right[256];
        for (int block = 0; block < 400; ++block)
        {
            for (int i = 0; i < 256; ++i)
            {
                const double phase = 2.0 * M_PI * (block * 256 + i) / 200.0;
                left[i] = 0.25f * (float) std::sin (phase);
                right[i] = 0.25f * (float) std::cos (phase);
            }
            rig.view.addSamples (left, right, 256);
            std::this_thread::yield();
        }
        done = true;
    });

    size_t litCount = 0;
    bool offCircle = false;
    auto drawAndCheck = [&]
    {
        for (auto p : XYRig::litPixels (test::snapshotOf (rig.view)))
        {
            ++litCount;
            const float r = p.toFloat().getDistanceFrom ({ 32.0f, 32.0f });
            offCircle = offCircle || (r > 0.0f && std::abs (r - 16.0f) > 1.5f);
        }
    };
    while (! done)
        drawAndCheck();
    audio.join();
    drawAndCheck(); // a loaded machine may let the feed finish before the first draw

    EXPECT_GT (litCount, 0u);
    EXPECT_FALSE (offCircle);
}
