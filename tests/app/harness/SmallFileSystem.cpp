#include "app/harness/SmallFileSystem.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace zund::test
{
SmallFileSystem::SmallFileSystem (const juce::File& where, juce::int64 bytes)
    : folder (where), filler (where.getChildFile ("filler.bin"))
{
    const auto options = "size=" + juce::String (bytes) + ",mode=0755";
    if (::mount ("zund-test", folder.getFullPathName().toRawUTF8(), "tmpfs", MS_NOSUID | MS_NODEV,
                 options.toRawUTF8())
        != 0)
    {
        problem = "a small file system could not be mounted on " + folder.getFullPathName() + " ("
                + juce::String (std::strerror (errno)) + "; it needs root or the right to mount)";
        return;
    }
    mounted = true;
}

SmallFileSystem::~SmallFileSystem()
{
    if (mounted)
        ::umount2 (folder.getFullPathName().toRawUTF8(), MNT_DETACH);
}

bool SmallFileSystem::fill()
{
    const int fd = ::open (filler.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;

    // Large pieces first, then ever smaller ones, until not one byte fits.
    const std::vector<char> piece (1 << 20, 'x');
    for (size_t size = piece.size(); size > 0; size /= 16)
        while (::write (fd, piece.data(), size) == (ssize_t) size)
        {
        }
    const bool full = errno == ENOSPC;
    ::fsync (fd);
    ::close (fd);
    return full && getFreeBytes() == 0;
}

bool SmallFileSystem::makeRoom()
{
    return filler.deleteFile() && getFreeBytes() > 0;
}

juce::int64 SmallFileSystem::getFreeBytes() const
{
    struct statvfs info {};
    if (::statvfs (folder.getFullPathName().toRawUTF8(), &info) != 0)
        return -1;
    return (juce::int64) info.f_bavail * (juce::int64) info.f_frsize;
}
}
