#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace zund
{
/** The library's questions and messages: the framework's alert window, shown
    without a nested message loop; the answer arrives in a callback. */
struct LibraryDialogs
{
    struct Question
    {
        juce::MessageBoxIconType icon = juce::MessageBoxIconType::WarningIcon;
        juce::String title, message;
        juce::StringArray buttons; // the first one confirms; Esc presses the last
        bool asksForText = false;
        juce::String text;         // what the text field starts with
    };

    /** The index of the button pressed, and the text field's text. */
    using Answer = std::function<void (int button, const juce::String& text)>;
    /** Answers in place of the user; nothing is shown while one is set. */
    using Responder = std::function<void (const Question&, const Answer&)>;

    /** Two buttons; `answer` learns whether the first one was pressed. Empty
        button texts give the framework's "OK" and "Cancel". */
    static void ask (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                     const juce::String& firstButton, const juce::String& secondButton,
                     std::function<void (bool first)> answer);

    /** `ask`, with `onConfirm` run only for the first button. */
    static void confirm (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                         const juce::String& confirmText, const juce::String& cancelText,
                         std::function<void()> onConfirm);

    /** A warning with one button; `then` runs once it is closed. */
    static void warn (const juce::String& title, const juce::String& message, std::function<void()> then = {});

    /** A text field holding `text` with an OK and a Cancel button (Return and
        Esc); `onOk` gets the text when OK was pressed. */
    static void askForText (const juce::String& title, const juce::String& text, const juce::String& okText,
                            const juce::String& cancelText, std::function<void (const juce::String&)> onOk);

    static void setResponder (Responder responder);

    /** A folder chooser titled `title` (the platform's own where there is one),
        kept alive by `holder`; `chosen` gets the folder, or no file when the
        user cancelled. */
    static void chooseFolder (std::unique_ptr<juce::FileChooser>& holder, const juce::String& title,
                              std::function<void (const juce::File&)> chosen);

    /** Picks folders in place of the user (no file: cancel); nothing is shown
        while one is set. */
    using FolderResponder = std::function<juce::File (const juce::String& title)>;
    static void setFolderResponder (FolderResponder responder);

private:
    static void show (const Question& question, const Answer& answer);
};
}
