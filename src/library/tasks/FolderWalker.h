#pragma once

#include <juce_core/juce_core.h>

#include <dirent.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace zund
{
/** Walks a folder and its sub-folders one file at a time, depth first in the
    order the file system lists them, so that a task can stop between two files.
    Regular files are listed, hidden ones too (and links to them); a FIFO,
    socket or device is left out, so no task ever waits on one. Links to
    folders are followed; a folder reached again by another path (a link cycle,
    two links to one folder) is walked only the first time. */
class FolderWalker
{
public:
    explicit FolderWalker (const juce::File& folder);

    /** The next file; false when the walk is over. */
    bool next (juce::File& file);

private:
    struct DirCloser
    {
        void operator() (DIR* dir) const noexcept { ::closedir (dir); }
    };

    struct OpenFolder
    {
        std::unique_ptr<DIR, DirCloser> dir;
        std::string path; // with a trailing separator
    };

    void enter (const std::string& path);

    std::vector<OpenFolder> open;
    std::set<std::string> walkedFolders;
};
}
