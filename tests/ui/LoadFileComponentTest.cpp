#include "ui/dialogs/LoadFileComponent.h"

#include "support/ModalRun.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
struct ModalDialog
{
    LoadFileComponent dialog;
    test::ModalRun run { dialog };

    juce::Button* button (const juce::String& text)
    {
        for (auto* c : dialog.getChildren())
            if (auto* b = dynamic_cast<juce::Button*> (c); b != nullptr && b->getButtonText() == text)
                return b;
        return nullptr;
    }
};

juce::KeyPress typed (juce::juce_wchar character)
{
    return juce::KeyPress (character, juce::ModifierKeys(), character);
}
}

TEST (LoadFileComponent, channelKeysAndButtonsChooseAndEscOrAClickOutsideCancels)
{
    struct Case
    {
        const char* what;
        std::function<void (ModalDialog&)> act;
        int expected;
    };
    const Case cases[] = {
        { "key 1", [] (ModalDialog& m) { EXPECT_TRUE (m.dialog.keyPressed (typed ('1'))); }, 0 },
        { "key 2", [] (ModalDialog& m) { EXPECT_TRUE (m.dialog.keyPressed (typed ('2'))); }, 1 },
        { "key 3", [] (ModalDialog& m) { EXPECT_TRUE (m.dialog.keyPressed (typed ('3'))); }, 2 },
        { "key 4", [] (ModalDialog& m) { EXPECT_TRUE (m.dialog.keyPressed (typed ('4'))); }, 3 },
        { "Esc", [] (ModalDialog& m) { EXPECT_TRUE (m.dialog.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey))); },
          -1 },
        { "button 4", [] (ModalDialog& m) { m.button ("4")->triggerClick(); }, 3 },
        { "button 1", [] (ModalDialog& m) { m.button ("1")->triggerClick(); }, 0 },
        { "a click outside", [] (ModalDialog& m) { m.dialog.inputAttemptWhenModal(); }, -1 },
    };

    for (const auto& c : cases)
    {
        ModalDialog modal;
        for (auto* text : { "1", "2", "3", "4" })
        {
            ASSERT_NE (modal.button (text), nullptr) << text;
            // Buttons never take the focus, so the keys keep reaching the dialog.
            EXPECT_FALSE (modal.button (text)->getWantsKeyboardFocus());
        }
        c.act (modal);
        ASSERT_TRUE (modal.run.closed()) << c.what;
        EXPECT_EQ (*modal.run.result(), c.expected) << c.what;
    }
}

TEST (LoadFileComponent, otherKeysLeaveTheDialogOpen)
{
    ModalDialog modal;
    for (auto character : { '5', '0', 'a', ' ', '!' })
        EXPECT_FALSE (modal.dialog.keyPressed (typed (character))) << character;
    for (auto code : { juce::KeyPress::returnKey, juce::KeyPress::F1Key, juce::KeyPress::leftKey })
        EXPECT_FALSE (modal.dialog.keyPressed (juce::KeyPress (code))) << code;

    test::pumpMessages (30);
    EXPECT_FALSE (modal.run.result().has_value());
    EXPECT_TRUE (modal.dialog.isCurrentlyModal());

    EXPECT_TRUE (modal.dialog.keyPressed (typed ('2')));
    ASSERT_TRUE (modal.run.closed());
    EXPECT_EQ (*modal.run.result(), 1);
}

TEST (LoadFileComponent, channelButtonsAreYellowRingsInChannelOrder)
{
    LoadFileComponent dialog;
    const auto image = test::snapshotOf (dialog);
    const juce::Colour yellow (0xffffff00);

    int previousX = -1, buttons = 0;
    for (auto* child : dialog.getChildren())
    {
        auto* button = dynamic_cast<juce::Button*> (child);
        if (button == nullptr)
            continue;
        const auto bounds = button->getBounds();
        EXPECT_TRUE (dialog.getLocalBounds().contains (bounds));
        EXPECT_GT (bounds.getX(), previousX) << "button " << button->getButtonText();
        previousX = bounds.getRight();
        ++buttons;

        // The ring's edge at the left middle; nothing filled between ring and digit.
        EXPECT_EQ (image.getPixelAt (bounds.getX() + 2, bounds.getCentreY()), yellow) << button->getButtonText();
        EXPECT_EQ (image.getPixelAt (bounds.getX() + 10, bounds.getY() + 12), juce::Colour (0xc0000000))
            << button->getButtonText();
    }
    EXPECT_EQ (buttons, 4);
}

// The program quitting ends the dialog's wait without an answer: no channel
// is chosen (the wait's own result, 0, would be channel 1). A key still
// chooses its channel through the same wait. Run apart: the quit is for good
// in a process.
TEST (LoadFileComponent, aQuitWhileItAsksChoosesNoChannel)
{
    GTEST_FLAG_SET (death_test_style, "threadsafe");
    EXPECT_EXIT (
        {
            LoadFileComponent dialog;
            juce::MessageManager::callAsync ([&dialog] { dialog.keyPressed (typed ('3')); });
            if (dialog.waitForAnswer() != 2)
                _exit (1);
            juce::MessageManager::callAsync ([] { juce::MessageManager::getInstance()->stopDispatchLoop(); });
            const int channel = dialog.waitForAnswer();
            _exit (channel < 0 ? 0 : 10 + channel);
        },
        ::testing::ExitedWithCode (0), "");
}
