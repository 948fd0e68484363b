#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <string>
#include <vector>

namespace zund
{
/** The drives the browser's tree shows: "/" and the mount points of user
    volumes (under /media, /run/media and /mnt), each with its kind. */
struct FileSystemRoot
{
    enum class Kind
    {
        fixedDisk,
        cdRom,
        removable
    };

    juce::String path;
    Kind kind = Kind::fixedDisk;

    bool operator== (const FileSystemRoot& other) const { return path == other.path && kind == other.kind; }
    bool operator!= (const FileSystemRoot& other) const { return ! operator== (other); }
};

/** Answers whether the block device (a name like "sdb1") is removable. */
using RemovableDeviceTest = std::function<bool (const juce::String& deviceName)>;

/** The roots from a mount table in the form of /proc/self/mounts: "/" first,
    then each user volume once, in the table's order. iso9660 and udf volumes
    are CD-ROMs; volumes on a removable device are removable; the rest are
    fixed disks. A volume whose path the framework's strings cannot hold
    (isSafeStringBytes) is left out. */
std::vector<FileSystemRoot> parseFileSystemRoots (const std::string& mountTable, const RemovableDeviceTest& isRemovable);

/** The roots of this machine, from /proc/self/mounts and /sys/class/block. */
std::vector<FileSystemRoot> readFileSystemRoots();
}
