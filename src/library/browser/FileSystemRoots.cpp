#include "library/browser/FileSystemRoots.h"

#include "common/files/FileFacts.h"
#include "common/text/SafeStringBytes.h"

#include <fstream>
#include <sstream>

namespace zund
{
namespace
{
// The mount table writes space, tab, newline and backslash as octal escapes;
// every other byte of a name stands as it is, UTF-8 or not.
std::string unescapeMountField (const std::string& field)
{
    std::string bytes;
    for (size_t i = 0; i < field.size(); ++i)
    {
        const char* p = field.c_str() + i;
        if (p[0] == '\\' && p[1] >= '0' && p[1] <= '3' && p[2] >= '0' && p[2] <= '7' && p[3] >= '0' && p[3] <= '7')
        {
            bytes += (char) ((p[1] - '0') * 64 + (p[2] - '0') * 8 + (p[3] - '0'));
            i += 3;
        }
        else
        {
            bytes += *p;
        }
    }
    return bytes;
}

bool isUserVolumeMountPoint (const juce::String& path)
{
    for (const auto* folder : { "/media", "/run/media", "/mnt" })
        if (path == folder || path.startsWith (juce::String (folder) + "/"))
            return true;
    return false;
}

// The device's own "removable" flag, or its disk's for a partition.
bool isRemovableBlockDevice (const juce::String& deviceName)
{
    const auto device = juce::File ("/sys/class/block").getChildFile (deviceName);
    if (! device.isDirectory())
        return false;

    const auto resolved = device.getLinkedTarget();
    const auto disk = resolved.getChildFile ("partition").existsAsFile() ? resolved.getParentDirectory() : resolved;
    return disk.getChildFile ("removable").loadFileAsString().trim() == "1";
}
}

std::vector<FileSystemRoot> parseFileSystemRoots (const std::string& mountTable, const RemovableDeviceTest& isRemovable)
{
    std::vector<FileSystemRoot> roots { { "/", FileSystemRoot::Kind::fixedDisk } };

    // Split in bytes: a volume's name may be anything, and the table is made a
    // string only a field at a time, once it is known the framework can hold it.
    std::istringstream lines (mountTable);
    for (std::string line; std::getline (lines, line);)
    {
        std::istringstream fields (line);
        std::string deviceBytes, mountPointBytes, type;
        if (! (fields >> deviceBytes >> mountPointBytes >> type))
            continue;
        deviceBytes = unescapeMountField (deviceBytes);
        mountPointBytes = unescapeMountField (mountPointBytes);
        if (! isSafeStringBytes (mountPointBytes) || ! isSafeStringBytes (deviceBytes))
            continue;

        const auto mountPoint = stringOfSafeBytes (mountPointBytes);
        if (! isUserVolumeMountPoint (mountPoint))
            continue;
        if (std::any_of (roots.begin(), roots.end(), [&] (const auto& root) { return root.path == mountPoint; }))
            continue;

        const auto device = stringOfSafeBytes (deviceBytes);
        auto kind = FileSystemRoot::Kind::fixedDisk;
        if (type == "iso9660" || type == "udf")
            kind = FileSystemRoot::Kind::cdRom;
        else if (device.startsWith ("/dev/") && isRemovable != nullptr && isRemovable (getPathFileName (device)))
            kind = FileSystemRoot::Kind::removable;

        roots.push_back ({ mountPoint, kind });
    }
    return roots;
}

std::vector<FileSystemRoot> readFileSystemRoots()
{
    std::ifstream in ("/proc/self/mounts", std::ios::binary);
    std::stringstream table;
    table << in.rdbuf();
    return parseFileSystemRoots (table.str(), isRemovableBlockDevice);
}
}
