#include "ui/dialogs/AboutBoxComponent.h"
#include "ui/look/ZundLookAndFeel.h"

#include "support/ModalRun.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
// Stands for the running program, whose version the box shows.
struct RunningApplication : juce::JUCEApplication
{
    const juce::String getApplicationName() override { return "Zund"; }
    const juce::String getApplicationVersion() override { return "2.20"; }
    void initialise (const juce::String&) override {}
    void shutdown() override {}
};

struct ModalBox
{
    AboutBoxComponent box { "Zund V2.20" };
    test::ModalRun run { box };
};
}

TEST (AboutBoxComponent, firstLineShowsTheRunningApplicationsVersion)
{
    const auto previousFactory = juce::JUCEApplicationBase::createInstance;
    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; };
    {
        RunningApplication app;
        const auto text = AboutBoxComponent::buildText();
        EXPECT_EQ (text.upToFirstOccurrenceOf ("\n", false, false), "Zund V2.20");
        EXPECT_TRUE (text.contains ("Enter : Load Song (then press 1/2/3/4 for Channel 1/2/3/4 or Esc to escape)\n"));
        EXPECT_TRUE (text.endsWith ("Shift : While turning knobs/sliders: increase precision\n"));
    }
    juce::JUCEApplicationBase::createInstance = previousFactory;
}

TEST (AboutBoxComponent, wholeTextFitsInsideTheBoxWhiteOnBlack)
{
    ZundLookAndFeel lookAndFeel;
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    {
        AboutBoxComponent box (AboutBoxComponent::buildText());
        ASSERT_EQ (box.getBounds(), juce::Rectangle<int> (0, 0, 1000, 350));

        const auto layout = AboutBoxComponent::layOutText (box.getText(), juce::Font().boldened(), box.getWidth());
        const auto used = layout.getBoundingBox (0, -1, true);
        EXPECT_TRUE (box.getLocalBounds().reduced (2).toFloat().contains (used))
            << "text runs to " << used.getBottom() << " of " << box.getHeight();

        const auto image = test::snapshotOf (box);
        EXPECT_EQ (image.getPixelAt (0, 200), juce::Colours::white) << "frame";
        EXPECT_EQ (image.getPixelAt (500, 340), juce::Colours::black) << "background";
        const auto firstLine = layout.getBoundingBox (0, 10, true).toNearestInt(); // "Zund V2.20"
        int white = 0;
        for (int y = firstLine.getY(); y < firstLine.getBottom(); ++y)
            for (int x = firstLine.getX(); x < firstLine.getRight(); ++x)
                white += image.getPixelAt (x, y).getBrightness() > 0.9f ? 1 : 0;
        EXPECT_GT (white, 30) << "version line";
    }
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

TEST (AboutBoxComponent, anyKeyOrClickClosesIt)
{
    struct Case
    {
        const char* what;
        std::function<void (ModalBox&)> act;
    };
    const Case cases[] = {
        { "a letter", [] (ModalBox& m) { EXPECT_TRUE (m.box.keyPressed (juce::KeyPress ('x'))); } },
        { "Esc", [] (ModalBox& m) { EXPECT_TRUE (m.box.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey))); } },
        { "a click", [] (ModalBox& m) { m.box.mouseDown (test::mouseEventAt (m.box, { 900, 300 })); } },
    };
    for (const auto& c : cases)
    {
        ModalBox modal;
        ASSERT_TRUE (modal.box.isCurrentlyModal());
        c.act (modal);
        ASSERT_TRUE (modal.run.closed()) << c.what;
        EXPECT_EQ (*modal.run.result(), 0) << c.what;
        EXPECT_FALSE (modal.box.isCurrentlyModal()) << c.what;
    }
}
