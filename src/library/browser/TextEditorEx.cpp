#include "library/browser/TextEditorEx.h"

namespace zund
{
TextEditorEx::TextEditorEx()
    : juce::TextEditor ("SearchField")
{
    setTextToShowWhenEmpty ("Enter search word(s)!", juce::Colour (0xff808080));
}

bool TextEditorEx::keyPressed (const juce::KeyPress& key)
{
    if (key.isKeyCode (juce::KeyPress::upKey) || key.isKeyCode (juce::KeyPress::downKey)
        || key.isKeyCode (juce::KeyPress::returnKey))
        return false;
    if (key.isKeyCode (juce::KeyPress::backspaceKey) && isEmpty())
        return true;
    return juce::TextEditor::keyPressed (key);
}

void TextEditorEx::focusGained (FocusChangeType cause)
{
    juce::TextEditor::focusGained (cause);
    textChanged();
}
}
