#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
/** A small modal panel for entering one line of text, with OK and Cancel.
    OK or Return ends the modal state keeping the text; Cancel or Esc empties
    it first. The caller reads getText() after the modal loop. */
class TextInputComponent : public juce::Component,
                           public juce::TextEditor::Listener,
                           public juce::Button::Listener
{
public:
    TextInputComponent();
    ~TextInputComponent() override;

    juce::String getText() const;
    void setText (const juce::String& newText);

    void buttonClicked (juce::Button* button) override;
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void inputAttemptWhenModal() override;
    void paint (juce::Graphics& g) override;

private:
    void accept();
    void cancel();

    juce::TextButton okButton { "OK" };
    juce::TextButton cancelButton { "Cancel" };
    juce::TextEditor editor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextInputComponent)
};
}
