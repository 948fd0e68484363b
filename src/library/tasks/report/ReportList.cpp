#include "library/tasks/report/ReportList.h"

namespace zund
{
ReportList::ReportList()
{
    editor.setReadOnly (true);
    editor.setLineNumbersShown (false);
    editor.setFont (juce::Font (juce::Font::getDefaultMonospacedFontName(), 13.0f, juce::Font::plain));
    editor.setColour (juce::CodeEditorComponent::backgroundColourId, juce::Colours::white);
    editor.setColour (juce::CodeEditorComponent::defaultTextColourId, juce::Colours::black);
    editor.setColour (juce::CodeEditorComponent::highlightColourId, juce::Colour (0xffadd8e6));
    editor.setColour (juce::CaretComponent::caretColourId, juce::Colours::black);
    addAndMakeVisible (editor);
}

void ReportList::setText (const juce::String& text)
{
    document.replaceAllContent (text);
    document.clearUndoHistory(); // it would keep a copy of both texts
    editor.moveCaretToTop (false);
}

juce::String ReportList::getText() const
{
    return document.getAllContent();
}

bool ReportList::isEmpty() const
{
    return document.getNumCharacters() == 0;
}

void ReportList::resized()
{
    editor.setBounds (getLocalBounds());
}
}
