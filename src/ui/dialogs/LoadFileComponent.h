#pragma once

#include "ui/dialogs/LoadFileComponentLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

namespace zund
{
/** Asks onto which channel a track goes: keys 1..4 (or a click on a channel
    button) end its modal state with 0..3; Esc or a click outside it, with -1.
    Built once and hidden; chooseChannel() shows it for each question. */
class LoadFileComponent : public juce::Component, public juce::Button::Listener
{
public:
    static constexpr int cancelled = -1;

    LoadFileComponent();
    ~LoadFileComponent() override;

    /** Shows the dialog as its own window in the middle of the screen, waits
        for the answer and hides it again: 0..3 for channels 1..4, negative
        when the user cancelled or the wait ended without an answer (the
        program quitting). */
    int chooseChannel();
    /** The modal wait of chooseChannel, wherever the dialog is shown. */
    int waitForAnswer();

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress& key) override;
    void inputAttemptWhenModal() override;
    void buttonClicked (juce::Button* button) override;

private:
    // Declared first: it outlives the buttons that use it.
    LoadFileComponentLookAndFeel buttonLook;
    juce::Label title { {}, "Load Track onto Channel:" };
    juce::Label hint { {}, "[ Press 1/2/3/4 or ESC to escape ]" };
    std::array<juce::TextButton, 4> channelButtons;
    int answer = cancelled; // only a key or a button gives a channel

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LoadFileComponent)
};
}
