#include "ui/preferences/PreferencesDialogs.h"

namespace zund
{
PreferencesDialogs PreferencesDialogs::alertWindows()
{
    PreferencesDialogs dialogs;
    dialogs.warn = [] (const juce::String& title, const juce::String& message) {
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, title, message);
    };
    dialogs.confirm = [] (const juce::String& title, const juce::String& message, std::function<void()> onOk) {
        juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::WarningIcon, title, message, {}, {}, nullptr,
                                            juce::ModalCallbackFunction::create ([onOk] (int result) {
                                                if (result != 0 && onOk)
                                                    onOk();
                                            }));
    };
    return dialogs;
}
}
