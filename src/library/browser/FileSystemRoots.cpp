#include "library/browser/FileSystemRoots.h"

namespace zund
{
namespace
{
// The mount table writes space, tab, newline and backslash as octal escapes.
juce::String unescapeMountField (const juce::String& field)
{
    if (! field.containsChar ('\\'))
        return field;

    juce::MemoryOutputStream bytes;
    const auto* p = field.toRawUTF8();
    for (; *p != 0; ++p)
    {
        if (p[0] == '\\' && p[1] >= '0' && p[1] <= '3' && p[2] >= '0' && p[2] <= '7' && p[3] >= '0' && p[3] <= '7')
        {
            bytes.writeByte ((char) ((p[1] - '0') * 64 + (p[2] - '0') * 8 + (p[3] - '0')));
            p += 3;
        }
        else
        {
            bytes.writeByte (*p);
        }
    }
    return bytes.toUTF8();
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

std::vector<FileSystemRoot> parseFileSystemRoots (const juce::String& mountTable, const RemovableDeviceTest& isRemovable)
{
    std::vector<FileSystemRoot> roots { { "/", FileSystemRoot::Kind::fixedDisk } };

    juce::StringArray lines;
    lines.addLines (mountTable);
    for (const auto& line : lines)
    {
        juce::StringArray fields;
        fields.addTokens (line, " \t", "");
        fields.removeEmptyStrings();
        if (fields.size() < 3)
            continue;

        const auto mountPoint = unescapeMountField (fields[1]);
        if (! isUserVolumeMountPoint (mountPoint))
            continue;
        if (std::any_of (roots.begin(), roots.end(), [&] (const auto& root) { return root.path == mountPoint; }))
            continue;

        const auto type = fields[2];
        const auto device = unescapeMountField (fields[0]);
        auto kind = FileSystemRoot::Kind::fixedDisk;
        if (type == "iso9660" || type == "udf")
            kind = FileSystemRoot::Kind::cdRom;
        else if (device.startsWith ("/dev/") && isRemovable != nullptr && isRemovable (device.fromLastOccurrenceOf ("/", false, false)))
            kind = FileSystemRoot::Kind::removable;

        roots.push_back ({ mountPoint, kind });
    }
    return roots;
}

std::vector<FileSystemRoot> readFileSystemRoots()
{
    return parseFileSystemRoots (juce::File ("/proc/self/mounts").loadFileAsString(), isRemovableBlockDevice);
}
}
