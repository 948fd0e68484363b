#pragma once

#include <juce_gui_extra/juce_gui_extra.h>

namespace zund
{
/** A read-only list of paths, one per line, in the report dialogs: scroll
    bars, a caret, selection and the pop-up menu to copy from it. It lays out
    only the lines in view, so a first start on a large collection lists
    100,000 new files at once (the framework's text editor measures every word
    of the text first). Long lines scroll sideways instead of wrapping. */
class ReportList : public juce::Component
{
public:
    ReportList();

    void setText (const juce::String& text);
    juce::String getText() const;
    bool isEmpty() const;

    void resized() override;

private:
    juce::CodeDocument document;
    juce::CodeEditorComponent editor { document, nullptr };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ReportList)
};
}
