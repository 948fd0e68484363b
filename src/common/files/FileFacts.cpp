#include "common/files/FileFacts.h"

#include "common/files/FolderWalker.h"
#include "common/text/SafeStringBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstring>

namespace zund
{
juce::int64 millisecondsToFileTicks (juce::int64 millisecondsSince1970) noexcept
{
    constexpr juce::int64 millisecondsFrom1601To1970 = 11644473600000LL;
    return (millisecondsSince1970 + millisecondsFrom1601To1970) * 10000;
}

bool getFileTimeAndSize (const juce::File& file, juce::int64& lastWriteTime, juce::int64& size)
{
    // One question to the disk; whole seconds, as the framework's modification time has them.
    struct stat info;
    if (file == juce::File() || ::stat (file.getFullPathName().toRawUTF8(), &info) != 0 || ! S_ISREG (info.st_mode))
        return false;

    lastWriteTime = millisecondsToFileTicks ((juce::int64) info.st_mtime * 1000);
    size = (juce::int64) info.st_size;
    return true;
}

bool isRegularFile (const juce::File& file)
{
    struct stat info;
    return file != juce::File() && ::stat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISREG (info.st_mode);
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

juce::String getPathFileName (const juce::String& path)
{
    const auto* bytes = path.toRawUTF8();
    const auto* slash = std::strrchr (bytes, '/');
    const auto* name = slash != nullptr ? slash + 1 : bytes;
    const auto length = std::strlen (name);
    return isSafeStringBytes (name, length) ? stringOfSafeBytes (name, length) : juce::String();
}

int getPathHash (const juce::String& text)
{
    return text.hashCode() & 0x7fffffff;
}

std::unique_ptr<std::vector<juce::File>> listFilesInFolder (const juce::File& folder, bool recursive)
{
    auto files = std::make_unique<std::vector<juce::File>>();
    FolderWalker walker (folder, recursive);
    for (juce::File file; walker.next (file);)
        files->push_back (file);
    return files;
}
}
