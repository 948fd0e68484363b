#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** The browser's search field: Up, Down and Return pass through to the
    browser, Backspace in an empty field does nothing, and gaining the focus
    counts as a change of the text (the table goes back to the search). */
class TextEditorEx : public juce::TextEditor
{
public:
    TextEditorEx();

    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType cause) override;
};
}
