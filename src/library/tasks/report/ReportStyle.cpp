#include "library/tasks/report/ReportStyle.h"

namespace zund
{
void setUpReportHeading (juce::Label& heading, const juce::String& text)
{
    heading.setText (text, juce::dontSendNotification);
    heading.setFont (juce::Font (15.0f, juce::Font::plain));
    heading.setJustificationType (juce::Justification::centred);
    heading.setEditable (false, false, false);
    heading.setColour (juce::Label::textColourId, juce::Colours::black);
    heading.setColour (juce::TextEditor::textColourId, juce::Colours::black);
    heading.setColour (juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);
}

int runReportDialog (std::unique_ptr<juce::Component> content, const juce::String& title, juce::Colour background,
                     bool resizable)
{
    juce::DialogWindow::LaunchOptions options;
    options.content.setOwned (content.release());
    options.dialogTitle = title;
    options.dialogBackgroundColour = background;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = false;
    options.resizable = resizable;
    options.useBottomRightCornerResizer = resizable;

    // Deleted here, with its content, once the user has closed it.
    std::unique_ptr<juce::DialogWindow> window (options.create());
    return window->runModalLoop();
}
}
