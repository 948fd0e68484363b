#include "ui/dialogs/TextInputComponent.h"

namespace zund
{
TextInputComponent::TextInputComponent()
{
    setOpaque (true);
    setSize (168, 72);

    addAndMakeVisible (okButton);
    okButton.setBounds (8, 40, 55, 24);
    okButton.addListener (this);

    addAndMakeVisible (cancelButton);
    cancelButton.setBounds (80, 40, 80, 24);
    cancelButton.addListener (this);

    addAndMakeVisible (editor);
    editor.setBounds (8, 8, 150, 24);
    editor.setMultiLine (false);
    editor.setReturnKeyStartsNewLine (false);
    editor.setReadOnly (false);
    editor.setCaretVisible (true);
    editor.addListener (this);
}

TextInputComponent::~TextInputComponent()
{
    editor.removeListener (this);
    cancelButton.removeListener (this);
    okButton.removeListener (this);
}

juce::String TextInputComponent::getText() const
{
    return editor.getText();
}

void TextInputComponent::setText (const juce::String& newText)
{
    editor.setText (newText, false);
}

void TextInputComponent::accept()
{
    exitModalState (0);
}

void TextInputComponent::cancel()
{
    // Through setText, so that a text set just before cannot come back later
    // through the editor's value.
    editor.setText ({});
    exitModalState (0);
}

void TextInputComponent::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
        accept();
    else if (button == &cancelButton)
        cancel();
}

void TextInputComponent::textEditorReturnKeyPressed (juce::TextEditor&)
{
    accept();
}

void TextInputComponent::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    cancel();
}

bool TextInputComponent::keyPressed (const juce::KeyPress& key)
{
    // Esc with the focus on a button.
    if (key == juce::KeyPress::escapeKey)
    {
        cancel();
        return true;
    }
    return false;
}

void TextInputComponent::inputAttemptWhenModal()
{
    toFront (true);
}

void TextInputComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds(), 1);
}
}
