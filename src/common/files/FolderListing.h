#pragma once

#include <juce_core/juce_core.h>

#include <dirent.h>

#include <memory>
#include <string>
#include <vector>

namespace zund
{
/** One folder's entries in the order the file system lists them, "." and ".."
    left out. Read with opendir/readdir, not with the framework's listing: that
    makes each name with its decoding string constructor, which writes past its
    buffer for names no file system forbids (a lone 0x80 byte, a Latin-1
    "voil\xe0.mp3"). An entry whose path is not safe to hold in a string
    (isSafeStringBytes) is skipped, and kept for whoever tells the user. */
class FolderListing
{
public:
    enum class Kind
    {
        folder,
        file,  // a regular file, or a link to one
        other  // FIFO, socket, device, broken link: never to be opened
    };

    struct Entry
    {
        std::string path; // the whole path's bytes
        size_t nameStart = 0;
        Kind kind = Kind::other;

        bool isHidden() const noexcept { return path[nameStart] == '.'; }
        const char* getName() const noexcept { return path.c_str() + nameStart; }

        /** The entry as a file, its path byte for byte; only for an entry next() gave. */
        juce::File getFile() const;
    };

    /** A folder given by its path's bytes; one that cannot be opened, or whose
        own path is not safe, lists nothing (the latter counts as skipped). */
    explicit FolderListing (const std::string& folderPath);
    explicit FolderListing (const juce::File& folder);

    /** The next entry whose path is safe; false when the listing is over. */
    bool next (Entry& entry);

    /** The entries skipped since the last call (and the folder itself when its
        path is not safe), in listing order. */
    std::vector<Entry> takeSkipped() noexcept { return std::move (skipped); }

    /** The file system's kind of a path: links followed, one stat at most. */
    static Kind kindOf (const std::string& path, unsigned char direntType);

private:
    struct DirCloser
    {
        void operator() (DIR* dir) const noexcept { ::closedir (dir); }
    };

    std::unique_ptr<DIR, DirCloser> dir;
    std::string prefix; // the folder's path with a trailing separator
    std::vector<Entry> skipped;
};
}
