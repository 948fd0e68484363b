// Plug-in windows stay on top of everything; while a dialog or question is up
// they step aside, so that the dialog reaches the user, and come back after.

#include "support/UiEvents.h"
#include "ui/plugins/PluginWindowsAside.h"

#include <gtest/gtest.h>

#include <memory>

using namespace zund;

namespace
{
/** The least a processor needs to have a window. */
struct SilentProcessor : public juce::AudioProcessor
{
    const juce::String getName() const override { return "Silent"; }
    void prepareToPlay (double, int) override {}
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}
    void getStateInformation (juce::MemoryBlock&) override {}
    void setStateInformation (const void*, int) override {}
};

struct Windows
{
    Windows()
    {
        shown.reset (PluginWindow::getWindowFor (&shownProcessor, true));
        closed.reset (PluginWindow::getWindowFor (&closedProcessor, true));
        shown->setVisible (true);
    }

    SilentProcessor shownProcessor, closedProcessor;
    std::unique_ptr<PluginWindow> shown, closed; // the user closed this one
    PluginWindowsAside aside;
};

/** A dialog of the given name in its modal state while it lives. */
struct ModalDialog
{
    explicit ModalDialog (const juce::String& name) : dialog (name) { dialog.enterModalState (false); }
    ~ModalDialog() { dialog.exitModalState (0); }
    juce::Component dialog;
};
}

TEST (PluginWindowsAside, WindowsShowingStepAsideWhileADialogIsUpAndComeBackAfter)
{
    Windows w;
    w.aside.update();
    EXPECT_TRUE (w.shown->isVisible()) << "no dialog yet";

    {
        ModalDialog question ("Really quit?");
        w.aside.update();
        EXPECT_FALSE (w.shown->isVisible()) << "the plug-in window covers the question";
        EXPECT_TRUE (w.shown->isShownToUser()) << "saved as shown: it comes back";
        EXPECT_FALSE (w.closed->isVisible());

        {
            ModalDialog second ("Choose Record Source and Quality!");
            w.aside.update();
        }
        w.aside.update();
        EXPECT_FALSE (w.shown->isVisible()) << "back while the first dialog is still up";
    }
    w.aside.update();
    EXPECT_TRUE (w.shown->isVisible());
    EXPECT_TRUE (w.shown->isAlwaysOnTop());
    EXPECT_FALSE (w.closed->isVisible()) << "a window the user closed stays closed";
    EXPECT_FALSE (w.closed->isShownToUser());
}

// A menu opens over the plug-in windows by itself (the parameter menus are
// used while looking at the plug-in): the windows stay.
TEST (PluginWindowsAside, MenusLeaveTheWindowsShowing)
{
    Windows w;
    ModalDialog menu ("menu");
    w.aside.update();
    EXPECT_TRUE (w.shown->isVisible());
    EXPECT_FALSE (w.aside.areWindowsAside());
}

// A window that goes while it is aside is simply not brought back.
TEST (PluginWindowsAside, AWindowDeletedWhileAsideIsForgotten)
{
    Windows w;
    {
        ModalDialog question ("Plugins");
        w.aside.update();
        w.shown.reset();
    }
    w.aside.update();
    EXPECT_FALSE (w.aside.areWindowsAside());
    EXPECT_EQ (PluginWindow::getNumWindows(), 1);
}
