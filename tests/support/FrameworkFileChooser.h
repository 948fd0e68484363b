#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <set>
#include <string>

namespace zund::test
{
/** A juce::FileChooser's dialog as the framework builds it where the desktop
    has no dialog helper of its own (no zenity or kdialog), and for every chooser
    asked for without the native dialog: its dialog box around a file browser,
    filtered as the chooser filters. Made off the desktop, so it is driven
    without a display. */
class FrameworkFileChooser
{
public:
    /** The chooser's title, starting file or folder, file patterns ("*.kcs") and
        juce::FileBrowserComponent flags. */
    FrameworkFileChooser (const juce::String& title, const juce::File& start, const juce::String& patterns, int flags);
    ~FrameworkFileChooser();

    juce::FileBrowserComponent& getBrowser() noexcept { return browser; }
    juce::FileChooserDialogBox& getBox() noexcept { return box; }

    /** Runs the message loop until the browser's thread has listed the folder
        it shows; false when it has not by then. */
    bool waitForListing (int timeoutMs = 10000);

    /** The entries the browser lists, files and folders, as path bytes. */
    std::set<std::string> listedPaths() const;

private:
    juce::WildcardFileFilter filter;
    juce::FileBrowserComponent browser;
    juce::FileChooserDialogBox box;
};
}
