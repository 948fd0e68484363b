#pragma once

#include "common/files/FolderListing.h"

#include <set>
#include <string>
#include <vector>

namespace zund
{
/** Walks a folder (and its sub-folders, when asked) one file at a time, depth
    first in the order the file system lists them, so that a task can stop
    between two files. Regular files are listed, hidden ones too (and links to
    them); a FIFO, socket or device is left out, so no task ever waits on one.
    Links to folders are followed; a folder reached again by another path (a
    link cycle, two links to one folder) is walked only the first time. Files
    and folders whose path is not safe to hold in a string (FolderListing) are
    skipped, and kept for the walk's report. */
class FolderWalker
{
public:
    explicit FolderWalker (const juce::File& folder, bool intoSubFolders = true);

    /** The next file; false when the walk is over. */
    bool next (juce::File& file);

    /** The files and folders skipped so far for their names, in walk order
        (other kinds of entry are not kept). */
    const std::vector<FolderListing::Entry>& getSkipped() const noexcept { return skipped; }

private:
    void enter (const std::string& path);
    void keepSkipped (FolderListing& listing);

    const bool intoSubFolders;
    std::vector<FolderListing> open;
    std::set<std::string> walkedFolders;
    std::vector<FolderListing::Entry> skipped;
};
}
