#pragma once

#include "ui/bottom/BottomBarDialogs.h"

#include <memory>

namespace zund
{
/** The bottom bar's dialogs as the framework's windows: dialog windows for the
    record source chooser and the preferences panel, the file chooser, alert
    boxes, and the about box. A window still open when this object goes is
    closed with it, so that it never shows a panel that has gone. */
class BottomBarDialogWindows : public BottomBarDialogs
{
public:
    BottomBarDialogWindows();
    ~BottomBarDialogWindows() override;

    void chooseRecordSource (RecordInputChooser& chooser, std::function<void()> closed) override;
    void chooseRecordFile (std::function<void (const juce::File&)> chosen) override;
    void confirmOverwrite (const juce::File& file, std::function<void (bool replace)> answer) override;
    void showWarning (const juce::String& title, const juce::String& message) override;
    void showPreferences (juce::Component& panel, juce::Component& centreAround,
                          std::function<void()> closed) override;
    void showAbout() override;

private:
    /** The callback, made to do nothing once this object has gone. */
    template <typename... Args>
    std::function<void (Args...)> guarded (std::function<void (Args...)> callback) const
    {
        return [alive = std::weak_ptr<bool> (token), callback] (Args... args) {
            if (alive.lock() != nullptr && callback != nullptr)
                callback (args...);
        };
    }

    /** Shows `content` (not owned) in a modal dialog window; `closed` runs
        when it has been dismissed. */
    void launch (juce::DialogWindow::LaunchOptions& options, std::function<void()> closed);

    std::shared_ptr<bool> token = std::make_shared<bool> (true);
    juce::Array<juce::Component::SafePointer<juce::Component>> openWindows;
    std::unique_ptr<juce::FileChooser> fileChooser;

    JUCE_DECLARE_NON_COPYABLE (BottomBarDialogWindows)
};
}
