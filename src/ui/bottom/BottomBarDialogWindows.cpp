#include "ui/bottom/BottomBarDialogWindows.h"

#include "ui/dialogs/AboutBoxComponent.h"
#include "ui/dialogs/RecordInputChooser.h"
#include "ui/dialogs/ReplaceQuestion.h"

namespace zund
{
BottomBarDialogWindows::BottomBarDialogWindows() = default;

BottomBarDialogWindows::~BottomBarDialogWindows()
{
    token.reset();
    fileChooser.reset();
    for (auto& window : openWindows)
        delete window.getComponent();
}

void BottomBarDialogWindows::launch (juce::DialogWindow::LaunchOptions& options, std::function<void()> closed)
{
    options.escapeKeyTriggersCloseButton = true;
    options.resizable = false;
    options.useNativeTitleBar = false;

    openWindows.removeAllInstancesOf (nullptr);
    auto* window = options.launchAsync(); // modal; deleted when dismissed
    openWindows.add (window);
    juce::ModalComponentManager::getInstance()->attachCallback (
        window, juce::ModalCallbackFunction::create (
                    [done = guarded (std::function<void()> (std::move (closed)))] (int) { done(); }));
}

void BottomBarDialogWindows::chooseRecordSource (RecordInputChooser& chooser, std::function<void()> closed)
{
    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (&chooser);
    options.dialogTitle = "Choose Record Source and Quality!";
    options.dialogBackgroundColour = juce::Colours::white;
    options.componentToCentreAround = nullptr; // the middle of the screen
    launch (options, std::move (closed));
}

void BottomBarDialogWindows::chooseRecordFile (std::function<void (const juce::File&)> chosen)
{
    // Both spellings of the extension are shown; the caller applies ".wav"
    // before it asks about replacing a file, so the chooser does not ask.
    fileChooser = std::make_unique<juce::FileChooser> (
        "Please enter filename for 32 Bit Stereo .WAV !",
        juce::File::getSpecialLocation (juce::File::userDocumentsDirectory), "*.wav;*.WAV", true);
    fileChooser->launchAsync (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles,
                              [done = guarded (std::move (chosen))] (const juce::FileChooser& chooser) {
                                  done (chooser.getResult());
                              });
}

void BottomBarDialogWindows::confirmOverwrite (const juce::File& file, std::function<void (bool)> answer)
{
    askBeforeReplacing (file, guarded (std::move (answer)));
}

void BottomBarDialogWindows::showWarning (const juce::String& title, const juce::String& message)
{
    juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, title, message);
}

void BottomBarDialogWindows::showPreferences (juce::Component& panel, juce::Component& centreAround,
                                              std::function<void()> closed)
{
    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (&panel);
    options.dialogTitle = "Preferences";
    options.dialogBackgroundColour = juce::Colours::black;
    options.componentToCentreAround = &centreAround;
    launch (options, std::move (closed));
}

void BottomBarDialogWindows::showAbout()
{
    AboutBoxComponent::show();
}
}
