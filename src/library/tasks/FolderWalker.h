#pragma once

#include <juce_core/juce_core.h>

#include <set>
#include <string>
#include <vector>

namespace zund
{
/** Walks a folder and its sub-folders one file at a time, in the directory
    iterator's order, so that a task can stop between two files. Links to
    folders are followed; a folder reached again by another path (a link cycle,
    two links to one folder) is walked only the first time. */
class FolderWalker
{
public:
    explicit FolderWalker (const juce::File& folder);

    /** The next file (not folder); false when the walk is over. */
    bool next (juce::File& file);

    /** How far the walk of the folder's own entries has got, 0..1. */
    float getEstimatedProgress() const noexcept { return progress; }

private:
    void enter (const juce::File& folder);

    std::vector<juce::RangedDirectoryIterator> open;
    std::set<std::string> walkedFolders;
    float progress = 0.0f;
};
}
