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
}
