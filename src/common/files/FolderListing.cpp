#include "common/files/FolderListing.h"

#include "common/text/SafeStringBytes.h"

#include <sys/stat.h>

#include <cstring>

namespace zund
{
juce::File FolderListing::Entry::getFile() const
{
    return juce::File::createFileWithoutCheckingPath (stringOfSafeBytes (path));
}

FolderListing::FolderListing (const std::string& folderPath)
{
    if (folderPath.empty())
        return;
    prefix = folderPath.back() == '/' ? folderPath : folderPath + '/';
    if (! isSafeStringBytes (folderPath))
    {
        const auto nameStart = folderPath.find_last_of ('/', folderPath.size() - 2);
        skipped.push_back ({ folderPath, nameStart == std::string::npos ? 0 : nameStart + 1, Kind::folder });
        return;
    }
    dir.reset (::opendir (folderPath.c_str()));
}

FolderListing::FolderListing (const juce::File& folder)
    : FolderListing (folder.getFullPathName().toStdString())
{
}

FolderListing::Kind FolderListing::kindOf (const std::string& path, unsigned char direntType)
{
    // Most file systems name the kind of each entry; links and the rest are asked.
    if (direntType == DT_DIR)
        return Kind::folder;
    if (direntType == DT_REG)
        return Kind::file;
    if (direntType != DT_LNK && direntType != DT_UNKNOWN)
        return Kind::other;
    struct stat info;
    if (::stat (path.c_str(), &info) != 0)
        return Kind::other;
    return S_ISDIR (info.st_mode) ? Kind::folder : S_ISREG (info.st_mode) ? Kind::file : Kind::other;
}

bool FolderListing::next (Entry& entry)
{
    while (dir != nullptr)
    {
        const dirent* found = ::readdir (dir.get());
        if (found == nullptr)
        {
            dir.reset();
            return false;
        }
        if (std::strcmp (found->d_name, ".") == 0 || std::strcmp (found->d_name, "..") == 0)
            continue;

        entry.path.assign (prefix).append (found->d_name);
        entry.nameStart = prefix.size();
        entry.kind = kindOf (entry.path, found->d_type);

        // The folder's path is safe and ends in an ASCII separator, so the
        // name alone decides.
        if (isSafeStringBytes (found->d_name, std::strlen (found->d_name)))
            return true;
        skipped.push_back (entry);
    }
    return false;
}
}
