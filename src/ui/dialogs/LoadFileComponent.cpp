#include "ui/dialogs/LoadFileComponent.h"

namespace zund
{
namespace
{
void setUpLabel (juce::Label& label, float fontHeight)
{
    label.setFont (juce::Font (fontHeight, juce::Font::bold));
    label.setJustificationType (juce::Justification::centred);
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setEditable (false);
}
}

LoadFileComponent::LoadFileComponent()
{
    setUpLabel (title, 19.6f);
    addAndMakeVisible (title);
    setUpLabel (hint, 13.0f);
    addAndMakeVisible (hint);

    for (size_t i = 0; i < channelButtons.size(); ++i)
    {
        auto& button = channelButtons[i];
        button.setButtonText (juce::String ((int) i + 1));
        button.setLookAndFeel (&buttonLook);
        // The dialog itself must keep the keys.
        button.setWantsKeyboardFocus (false);
        button.setMouseClickGrabsKeyboardFocus (false);
        button.addListener (this);
        addAndMakeVisible (button);
    }

    setWantsKeyboardFocus (true);
    setAlwaysOnTop (true);
    setSize (248, 104);
}

LoadFileComponent::~LoadFileComponent()
{
    for (auto& button : channelButtons)
    {
        button.removeListener (this);
        button.setLookAndFeel (nullptr);
    }
}

int LoadFileComponent::chooseChannel()
{
    centreWithSize (getWidth(), getHeight());
    addToDesktop (juce::ComponentPeer::windowHasDropShadow);
    setVisible (true);
    toFront (true);
    grabKeyboardFocus();

    const int channel = waitForAnswer();

    setVisible (false);
    removeFromDesktop();
    return channel;
}

int LoadFileComponent::waitForAnswer()
{
    // A quit ends the modal loop with 0, which is not channel 1.
    answer = cancelled;
    runModalLoop();
    return answer;
}

void LoadFileComponent::resized()
{
    title.setBounds (8, 8, 232, 15);
    hint.setBounds (8, 24, 232, 16);
    int x = 16;
    for (auto& button : channelButtons)
    {
        button.setBounds (x, 48, 40, 40);
        x += 56;
    }
}

void LoadFileComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xc0000000));
    // Along the whole dialog: a partial repaint (a button lighting up) must
    // not draw a frame around the repainted patch.
    g.setColour (juce::Colour::greyLevel (0.3f).withAlpha (0.75f));
    g.drawRect (getLocalBounds(), 1);
}

bool LoadFileComponent::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::escapeKey)
    {
        answer = cancelled;
        exitModalState (cancelled);
        return true;
    }

    const auto character = key.getTextCharacter();
    if (character >= '1' && character <= '4')
    {
        answer = (int) (character - '1');
        exitModalState (answer);
        return true;
    }
    return false;
}

void LoadFileComponent::inputAttemptWhenModal()
{
    answer = cancelled;
    exitModalState (cancelled);
}

void LoadFileComponent::buttonClicked (juce::Button* button)
{
    // A click is the same as pressing the button's digit.
    keyPressed (juce::KeyPress (0, juce::ModifierKeys(), button->getButtonText()[0]));
}
}
