#include "library/tree/SubFolderLister.h"

#include "common/files/FolderListing.h"

namespace zund
{
SubFolderLister::SubFolderLister (const juce::File& folderToList, Delivery whatToDo)
    : juce::Thread ("ZundFileTreeComponentThread"),
      folder (folderToList),
      delivery (std::move (whatToDo))
{
}

SubFolderLister::~SubFolderLister()
{
    stopThread (-1); // only ever deleted once it has ended
}

void SubFolderLister::run()
{
    juce::StringArray names;
    FolderListing listing (folder); // the framework's listing overflows on some names no file system forbids
    for (FolderListing::Entry entry; listing.next (entry);)
    {
        if (threadShouldExit())
            return;
        if (entry.kind == FolderListing::Kind::folder && ! entry.isHidden())
            names.add (entry.getFile().getFileName());
    }

    // The file system hands folders out in no useful order; a DJ looks for them by name.
    std::sort (names.begin(), names.end(), [] (const juce::String& a, const juce::String& b) {
        return a.compareNatural (b) < 0;
    });

    if (! threadShouldExit())
        juce::MessageManager::callAsync ([whatToDo = delivery, names] { whatToDo (names); });
}
}
