#include "ui/dialogs/RecordInputChooser.h"

namespace zund
{
namespace
{
void setUpList (juce::ComboBox& list)
{
    list.setEditableText (false);
    list.setJustificationType (juce::Justification::centredLeft);
    list.setTextWhenNothingSelected ({});
    list.setTextWhenNoChoicesAvailable ("(no choices)");
}

void setUpLabel (juce::Label& label)
{
    label.setFont (juce::Font (15.0f, juce::Font::plain));
    label.setJustificationType (juce::Justification::centredLeft);
    label.setEditable (false, false, false);
    label.setColour (juce::Label::textColourId, juce::Colours::black);
    label.setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
}
}

RecordInputChooser::RecordInputChooser()
{
    for (auto* list : { &sourceList, &qualityList })
    {
        setUpList (*list);
        list->addListener (this);
    }
    for (auto* button : { &okButton, &cancelButton })
        button->addListener (this);
    for (auto* label : { &qualityLabel, &sourceLabel })
        setUpLabel (*label);

    for (auto* child : std::initializer_list<juce::Component*> { &sourceList, &okButton, &cancelButton, &qualityList,
                                                                 &qualityLabel, &sourceLabel })
        addAndMakeVisible (child);

    // The blanks are the list's own: both texts line up in its font.
    qualityList.addItem ("16Bit Stereo (limited to  6h 40min)", 1);
    qualityList.addItem ("32Bit Stereo (limited to 3h 20min)", 2);

    setSize (width, height);
    qualityList.setSelectedItemIndex (0, juce::sendNotificationSync);
}

RecordInputChooser::~RecordInputChooser()
{
    for (auto* list : { &sourceList, &qualityList })
        list->removeListener (this);
    for (auto* button : { &okButton, &cancelButton })
        button->removeListener (this);
}

void RecordInputChooser::setInputChannelNames (const juce::StringArray& inputNames)
{
    sourceList.clear (juce::dontSendNotification);
    sourceList.addItem ("Internal (Main Output)", mainOutputId);
    for (int k = 0; k < inputNames.size() / 2; ++k)
        sourceList.addItem (inputNames[2 * k] + " / " + inputNames[2 * k + 1], k + 2);
    sourceList.setSelectedId (mainOutputId, juce::sendNotificationSync);
}

void RecordInputChooser::resized()
{
    sourceList.setBounds (64, 8, 400, 24);
    okButton.setBounds (344, 40, 56, 24);
    cancelButton.setBounds (408, 40, 56, 24);
    qualityList.setBounds (64, 40, 264, 24);
    qualityLabel.setBounds (8, 40, 55, 24);
    sourceLabel.setBounds (8, 8, 55, 24);
}

void RecordInputChooser::comboBoxChanged (juce::ComboBox* list)
{
    if (list == &qualityList)
        bitsPerSample = qualityList.getSelectedItemIndex() != 0 ? 32 : 16;
}

void RecordInputChooser::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
    {
        confirmed = true;
        close();
    }
    else if (button == &cancelButton)
    {
        close();
    }
}

void RecordInputChooser::close()
{
    // The dialog window around the chooser is modal, or the chooser itself.
    if (auto* window = getTopLevelComponent(); window->isCurrentlyModal (false))
        window->exitModalState (0);
}
}
