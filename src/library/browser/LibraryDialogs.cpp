#include "library/browser/LibraryDialogs.h"

namespace zund
{
namespace
{
LibraryDialogs::Responder& responder()
{
    static LibraryDialogs::Responder r;
    return r;
}

LibraryDialogs::FolderResponder& folderResponder()
{
    static LibraryDialogs::FolderResponder r;
    return r;
}
}

void LibraryDialogs::setResponder (Responder newResponder)
{
    responder() = std::move (newResponder);
}

void LibraryDialogs::setFolderResponder (FolderResponder newResponder)
{
    folderResponder() = std::move (newResponder);
}

void LibraryDialogs::chooseFolder (std::unique_ptr<juce::FileChooser>& holder, const juce::String& title,
                                   std::function<void (const juce::File&)> chosen)
{
    if (folderResponder() != nullptr)
    {
        chosen (folderResponder() (title));
        return;
    }

    holder = std::make_unique<juce::FileChooser> (title, juce::File(), "*", true);
    holder->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectDirectories,
                         [chosen] (const juce::FileChooser& chooser) { chosen (chooser.getResult()); });
}


void LibraryDialogs::show (const Question& question, const Answer& answer)
{
    if (responder() != nullptr)
    {
        responder() (question, answer);
        return;
    }

    if (question.asksForText)
    {
        auto* window = new juce::AlertWindow (question.title, question.message, question.icon);
        window->addTextEditor ("editor", question.text);
        window->addButton (question.buttons[0], 0, juce::KeyPress (juce::KeyPress::returnKey));
        window->addButton (question.buttons[1], 1, juce::KeyPress (juce::KeyPress::escapeKey));
        window->enterModalState (true, juce::ModalCallbackFunction::create ([window, answer] (int result) {
                                     answer (result, window->getTextEditorContents ("editor"));
                                 }),
                                 true);
    }
    else if (question.buttons.size() < 2)
    {
        juce::AlertWindow::showMessageBoxAsync (question.icon, question.title, question.message, question.buttons[0],
                                                nullptr, juce::ModalCallbackFunction::create ([answer] (int) {
                                                    answer (0, {});
                                                }));
    }
    else
    {
        juce::AlertWindow::showOkCancelBox (question.icon, question.title, question.message, question.buttons[0],
                                            question.buttons[1], nullptr,
                                            juce::ModalCallbackFunction::create ([answer] (int result) {
                                                answer (result != 0 ? 0 : 1, {});
                                            }));
    }
}

void LibraryDialogs::ask (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                          const juce::String& firstButton, const juce::String& secondButton,
                          std::function<void (bool)> answer)
{
    show ({ icon, title, message, { firstButton, secondButton }, false, {} }, [answer] (int button, const juce::String&) {
        if (answer != nullptr)
            answer (button == 0);
    });
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
    show ({ juce::MessageBoxIconType::WarningIcon, title, message, { juce::String() }, false, {} },
          [then] (int, const juce::String&) {
              if (then != nullptr)
                  then();
          });
}

void LibraryDialogs::askForText (const juce::String& title, const juce::String& text, const juce::String& okText,
                                 const juce::String& cancelText, std::function<void (const juce::String&)> onOk)
{
    Question question { juce::MessageBoxIconType::InfoIcon, title, {}, { okText, cancelText }, true, text };
    show (question, [onOk] (int button, const juce::String& newText) {
        if (button == 0 && onOk != nullptr)
            onOk (newText);
    });
}
}
