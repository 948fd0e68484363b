#include "ui/dialogs/TextInputComponent.h"

#include "support/ModalRun.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
struct ModalRig
{
    TextInputComponent panel;
    test::ModalRun run { panel };

    juce::TextEditor* editor()
    {
        for (auto* c : panel.getChildren())
            if (auto* e = dynamic_cast<juce::TextEditor*> (c))
                return e;
        return nullptr;
    }

    juce::Button* button (const juce::String& text)
    {
        for (auto* c : panel.getChildren())
            if (auto* b = dynamic_cast<juce::Button*> (c); b != nullptr && b->getButtonText() == text)
                return b;
        return nullptr;
    }
};
}

TEST (TextInputComponent, okReturnAndCancelEndTheModalState)
{
    struct Case
    {
        const char* what;
        std::function<void (ModalRig&)> act;
        const char* expectedText;
    };
    const Case cases[] = {
        { "OK button", [] (ModalRig& r) { r.button ("OK")->triggerClick(); }, "Case 12" },
        { "Return in the editor", [] (ModalRig& r) { r.editor()->keyPressed (juce::KeyPress (juce::KeyPress::returnKey)); },
          "Case 12" },
        { "Cancel button", [] (ModalRig& r) { r.button ("Cancel")->triggerClick(); }, "" },
        { "Esc in the editor", [] (ModalRig& r) { r.editor()->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)); },
          "" },
        { "Esc on the panel", [] (ModalRig& r) { r.panel.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)); }, "" },
    };

    for (const auto& c : cases)
    {
        ModalRig rig;
        ASSERT_NE (rig.editor(), nullptr);
        ASSERT_NE (rig.button ("OK"), nullptr);
        ASSERT_NE (rig.button ("Cancel"), nullptr);
        rig.editor()->setText ("Case 12");
        c.act (rig);
        ASSERT_TRUE (rig.run.closed()) << c.what;
        EXPECT_EQ (*rig.run.result(), 0) << c.what;
        EXPECT_FALSE (rig.panel.isCurrentlyModal()) << c.what;
        EXPECT_EQ (rig.panel.getText(), juce::String (c.expectedText)) << c.what;
    }
}
