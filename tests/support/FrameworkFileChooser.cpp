#include "support/FrameworkFileChooser.h"

#include "support/UiEvents.h"

namespace zund::test
{
namespace
{
bool selects (int flags, int what)
{
    return (flags & what) != 0;
}
}

FrameworkFileChooser::FrameworkFileChooser (const juce::String& title, const juce::File& start,
                                            const juce::String& patterns, int flags)
    : filter (selects (flags, juce::FileBrowserComponent::canSelectFiles) ? patterns : juce::String(),
              selects (flags, juce::FileBrowserComponent::canSelectDirectories) ? "*" : juce::String(), {}),
      browser (flags, start, &filter, nullptr),
      box (title, {}, browser, selects (flags, juce::FileBrowserComponent::warnAboutOverwriting),
           browser.findColour (juce::AlertWindow::backgroundColourId), nullptr)
{
}

FrameworkFileChooser::~FrameworkFileChooser()
{
    box.setLookAndFeel (nullptr);
}

bool FrameworkFileChooser::waitForListing (int timeoutMs)
{
    const auto& list = browser.getDisplayComponent()->directoryContentsList;
    const bool listed = pumpMessagesUntil ([&list] { return ! list.isStillLoading(); }, timeoutMs);
    pumpMessages(); // the list's change message reaches the list box
    return listed;
}

std::set<std::string> FrameworkFileChooser::listedPaths() const
{
    const auto& list = browser.getDisplayComponent()->directoryContentsList;
    std::set<std::string> paths;
    for (int i = 0; i < list.getNumFiles(); ++i)
        paths.insert (list.getFile (i).getFullPathName().toStdString());
    return paths;
}
}
