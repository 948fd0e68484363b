#include "ui/dialogs/WarningNotice.h"

namespace zund
{
void WarningNotice::show (const juce::String& title, const juce::String& message)
{
    auto* notice = new WarningNotice (title, message); // deletes itself when closed
    notice->setAlwaysOnTop (true);
    notice->setVisible (true);
    notice->toFront (false);
}

WarningNotice::WarningNotice (const juce::String& title, const juce::String& message)
    : juce::AlertWindow (title, message, juce::MessageBoxIconType::WarningIcon)
{
    addButton ("OK", 0, juce::KeyPress (juce::KeyPress::escapeKey), juce::KeyPress (juce::KeyPress::returnKey));

    // The box's own buttons end a modal state, which this one never enters.
    for (auto* child : getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child))
            button->onClick = [this] { close(); };
}

void WarningNotice::close()
{
    setVisible (false);
    // Not from inside the button's own click.
    juce::MessageManager::callAsync ([notice = SafePointer<WarningNotice> (this)] { delete notice.getComponent(); });
}
}
