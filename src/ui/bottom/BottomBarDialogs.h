#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace zund
{
class RecordInputChooser;

/** The windows the bottom bar opens. None of them runs a message loop of its
    own inside the caller: each answer arrives in a callback, which is never
    called once the dialogs object has gone. The program uses the framework's
    windows (BottomBarDialogWindows); tests answer in place of the user. */
class BottomBarDialogs
{
public:
    virtual ~BottomBarDialogs() = default;

    /** Shows the chooser in a modal window; `closed` runs once it is closed
        (the chooser then knows whether OK was pressed). */
    virtual void chooseRecordSource (RecordInputChooser& chooser, std::function<void()> closed) = 0;
    /** Asks for the file to record into; `chosen` gets it, or a default File
        when the user cancelled. */
    virtual void chooseRecordFile (std::function<void (const juce::File&)> chosen) = 0;
    /** Asks whether an existing file may be replaced. */
    virtual void confirmOverwrite (const juce::File& file, std::function<void (bool replace)> answer) = 0;
    virtual void showWarning (const juce::String& title, const juce::String& message) = 0;

    /** Shows the panel (not owned) in a modal window centred on `centreAround`;
        `closed` runs once it is closed. */
    virtual void showPreferences (juce::Component& panel, juce::Component& centreAround,
                                  std::function<void()> closed) = 0;
    virtual void showAbout() = 0;

protected:
    BottomBarDialogs() = default;
};
}
