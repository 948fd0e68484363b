#pragma once

#include "library/browser/LibraryDialogs.h"

#include <deque>

namespace zund::test
{
/** Answers the library's questions in order while it lives (nothing is
    shown); without a scripted answer the last button is pressed. */
struct ScriptedDialogs
{
    explicit ScriptedDialogs (std::deque<int> buttonsToPress = {}, juce::String textToType = {})
        : buttons (std::move (buttonsToPress)), text (std::move (textToType))
    {
        LibraryDialogs::setResponder ([this] (const LibraryDialogs::Question& q, const LibraryDialogs::Answer& answer) {
            asked.add (q.title);
            shownTexts.add (q.text);
            int button = q.buttons.size() - 1;
            if (! buttons.empty())
            {
                button = buttons.front();
                buttons.pop_front();
            }
            answer (button, text);
        });
    }

    ~ScriptedDialogs() { LibraryDialogs::setResponder (nullptr); }

    std::deque<int> buttons;
    juce::String text;
    juce::StringArray asked, shownTexts;
};

/** Picks folders in order in place of the user while it lives (no file, or
    none left: cancel). */
struct ScriptedFolders
{
    explicit ScriptedFolders (std::deque<juce::File> foldersToPick) : folders (std::move (foldersToPick))
    {
        LibraryDialogs::setFolderResponder ([this] (const juce::String& title) {
            asked.add (title);
            if (folders.empty())
                return juce::File();
            auto folder = folders.front();
            folders.pop_front();
            return folder;
        });
    }

    ~ScriptedFolders() { LibraryDialogs::setFolderResponder (nullptr); }

    std::deque<juce::File> folders;
    juce::StringArray asked;
};
}
