#include "library/browser/LibraryDialogs.h"

namespace zund
{
void LibraryDialogs::ask (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                          const juce::String& firstButton, const juce::String& secondButton,
                          std::function<void (bool)> answer)
{
    juce::AlertWindow::showOkCancelBox (icon, title, message, firstButton, secondButton, nullptr,
                                        juce::ModalCallbackFunction::create ([answer] (int result) {
                                            if (answer != nullptr)
                                                answer (result != 0);
                                        }));
}

void LibraryDialogs::confirm (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                              const juce::String& confirmText, const juce::String& cancelText,
                              std::function<void()> onConfirm)
{
    ask (icon, title, message, confirmText, cancelText, [onConfirm] (bool confirmed) {
        if (confirmed && onConfirm != nullptr)
            onConfirm();
    });
}

void LibraryDialogs::warn (const juce::String& title, const juce::String& message, std::function<void()> then)
{
    juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, title, message, {}, nullptr,
                                            juce::ModalCallbackFunction::create ([then] (int) {
                                                if (then != nullptr)
                                                    then();
                                            }));
}
}
