#include "library/tasks/FolderWalker.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

namespace zund
{
namespace
{
/** The folder's path with every link resolved; empty when it cannot be resolved. */
std::string resolvedPath (const std::string& folder)
{
    std::string path;
    if (char* resolved = ::realpath (folder.c_str(), nullptr))
    {
        path = resolved;
        std::free (resolved);
    }
    return path;
}

enum class Kind
{
    folder,
    file,
    other // FIFO, socket, device, broken link: never opened
};

/** Most file systems name the kind of each entry; links and the rest are asked. */
Kind kindOf (const dirent& entry, const std::string& path)
{
    if (entry.d_type == DT_DIR)
        return Kind::folder;
    if (entry.d_type == DT_REG)
        return Kind::file;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return Kind::other;
    struct stat info;
    if (::stat (path.c_str(), &info) != 0)
        return Kind::other;
    return S_ISDIR (info.st_mode) ? Kind::folder : S_ISREG (info.st_mode) ? Kind::file : Kind::other;
}
}

FolderWalker::FolderWalker (const juce::File& folder)
{
    if (folder.isDirectory())
        enter (folder.getFullPathName().toStdString());
}

void FolderWalker::enter (const std::string& path)
{
    const auto resolved = resolvedPath (path);
    if (resolved.empty() || ! walkedFolders.insert (resolved).second)
        return;

    if (DIR* dir = ::opendir (path.c_str()))
        open.push_back ({ std::unique_ptr<DIR, DirCloser> (dir), path.back() == '/' ? path : path + '/' });
}

bool FolderWalker::next (juce::File& file)
{
    while (! open.empty())
    {
        const dirent* entry = ::readdir (open.back().dir.get());
        if (entry == nullptr)
        {
            open.pop_back();
            continue;
        }
        if (std::strcmp (entry->d_name, ".") == 0 || std::strcmp (entry->d_name, "..") == 0)
            continue;

        auto path = open.back().path + entry->d_name;
        const auto kind = kindOf (*entry, path);
        if (kind == Kind::folder)
            enter (path); // walked before the rest of this folder
        else if (kind == Kind::file)
        {
            file = juce::File::createFileWithoutCheckingPath (juce::String::fromUTF8 (path.c_str(), (int) path.size()));
            return true;
        }
    }
    return false;
}
}
