#include "app/main/MainComponent.h"

#include "ui/bottom/BottomComponent.h"

namespace zund
{
//==============================================================================
// What the device-loss handler asks of the main component.

std::uint64_t MainComponent::getBlockProgress() const noexcept
{
    return audioCallback->getBlockProgress();
}

std::uint64_t MainComponent::getDeviceStopCount() const noexcept
{
    return audioCallback->getStopCount();
}

bool MainComponent::isAudioCallbackStarted() const noexcept
{
    return audioCallback->isStarted();
}

bool MainComponent::isQuitting() const noexcept
{
    return audioCallback->isQuitting();
}

juce::File MainComponent::endRecording()
{
    return bottomBar != nullptr ? bottomBar->endRecording() : juce::File();
}

void MainComponent::showDeviceLoss (const juce::String& message, std::function<void (bool)> answer)
{
    // Audio and the mixer go on while it shows.
    auto answered = juce::ModalCallbackFunction::create ([done = std::move (answer)] (int result) {
        if (done != nullptr)
            done (result != 0);
    });
    juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::WarningIcon, "Zund2", message, "Reopen", "Later",
                                        nullptr, answered);
}
}
