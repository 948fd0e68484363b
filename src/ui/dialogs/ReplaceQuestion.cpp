#include "ui/dialogs/ReplaceQuestion.h"

namespace zund
{
void askBeforeReplacing (const juce::File& file, std::function<void (bool)> answer)
{
    juce::AlertWindow::showOkCancelBox (
        juce::MessageBoxIconType::WarningIcon, "File already exists",
        "There's already a file called:\n\n" + file.getFullPathName() + "\n\nAre you sure you want to overwrite it?",
        "Overwrite", "Cancel", nullptr,
        juce::ModalCallbackFunction::create ([done = std::move (answer)] (int result) {
            if (done != nullptr)
                done (result != 0);
        }));
}

void saveAfterAsking (const juce::File& file, const ReplaceQuestion& ask, std::function<void()> save)
{
    if (! file.exists())
    {
        save();
        return;
    }
    ask (file, [save = std::move (save)] (bool replace) {
        if (replace)
            save();
    });
}
}
