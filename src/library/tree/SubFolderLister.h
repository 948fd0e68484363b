#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace zund
{
/** The folder tree's worker ("ZundFileTreeComponentThread"): lists the visible
    sub-folders of one folder, by name in natural order, and hands the names to
    the message thread, where the tree makes its items (the framework's item
    constructor is not for other threads). It holds nothing of the tree, so it
    may be left to end on its own when a listing hangs. */
class SubFolderLister : public juce::Thread
{
public:
    /** Called on the message thread with the names, unless the lister was told
        to stop first. */
    using Delivery = std::function<void (const juce::StringArray& names)>;

    SubFolderLister (const juce::File& folder, Delivery delivery);
    ~SubFolderLister() override;

private:
    void run() override;

    const juce::File folder;
    const Delivery delivery;

    JUCE_DECLARE_NON_COPYABLE (SubFolderLister)
};
}
