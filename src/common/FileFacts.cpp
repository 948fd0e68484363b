#include "common/FileFacts.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zund
{
juce::int64 millisecondsToFileTicks (juce::int64 millisecondsSince1970) noexcept
{
    constexpr juce::int64 millisecondsFrom1601To1970 = 11644473600000LL;
    return (millisecondsSince1970 + millisecondsFrom1601To1970) * 10000;
}

bool getFileTimeAndSize (const juce::File& file, juce::int64& lastWriteTime, juce::int64& size)
{
    if (! file.existsAsFile())
        return false;

    lastWriteTime = millisecondsToFileTicks (file.getLastModificationTime().toMilliseconds());
    size = file.getSize();
    return true;
}

bool canOpenFileExclusively (const juce::File& file)
{
    if (! file.existsAsFile())
        return false;

    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;

    const bool locked = ::flock (fd, LOCK_EX | LOCK_NB) == 0;
    if (locked)
        ::flock (fd, LOCK_UN);
    ::close (fd);
    return locked;
}

int getPathHash (const juce::String& text)
{
    return text.hashCode() & 0x7fffffff;
}

namespace
{
void collectFiles (const juce::File& dir, bool recursive, std::vector<juce::File>& files)
{
    for (const auto& entry : juce::RangedDirectoryIterator (dir, false, "*",
                                                             juce::File::findFilesAndDirectories))
    {
        const auto& f = entry.getFile();
        if (! entry.isDirectory())
            files.push_back (f);
        else if (recursive && ! f.isSymbolicLink()) // a link may point back up the tree
            collectFiles (f, recursive, files);
    }
}
}

std::unique_ptr<std::vector<juce::File>> listFilesInFolder (const juce::File& folder, bool recursive)
{
    auto files = std::make_unique<std::vector<juce::File>>();
    if (folder.isDirectory())
        collectFiles (folder, recursive, *files);
    return files;
}
}
