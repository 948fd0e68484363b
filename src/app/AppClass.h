#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace zund
{
class MainAppWindow;

/** The application: one instance, one main window. */
class AppClass : public juce::JUCEApplication
{
public:
    AppClass();
    ~AppClass() override;

    const juce::String getApplicationName() override { return "Zund"; }
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override { return false; }

    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String&) override {}
    /** Takes the close button's road without "Really quit?", so that the
        library is saved while a failure can still be answered. */
    void systemRequestedQuit() override;

private:
    std::unique_ptr<MainAppWindow> mainWindow;
};
}
