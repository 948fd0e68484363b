#include "library/tasks/FolderWalker.h"

#include <cstdlib>

namespace zund
{
namespace
{
/** The folder's path with every link resolved; empty when it cannot be resolved. */
std::string resolvedPath (const juce::File& folder)
{
    std::string path;
    if (char* resolved = ::realpath (folder.getFullPathName().toRawUTF8(), nullptr))
    {
        path = resolved;
        std::free (resolved);
    }
    return path;
}
}

FolderWalker::FolderWalker (const juce::File& folder)
{
    if (folder.isDirectory())
        enter (folder);
}

void FolderWalker::enter (const juce::File& folder)
{
    const auto path = resolvedPath (folder);
    if (! path.empty() && walkedFolders.insert (path).second)
        open.emplace_back (folder, false, "*", juce::File::findFilesAndDirectories);
}

bool FolderWalker::next (juce::File& file)
{
    while (! open.empty())
    {
        auto& iterator = open.back();
        if (iterator == juce::RangedDirectoryIterator())
        {
            open.pop_back();
            continue;
        }

        const auto entry = *iterator;
        if (open.size() == 1)
            progress = entry.getEstimatedProgress();
        ++iterator;

        if (entry.isDirectory())
            enter (entry.getFile()); // walked before the rest of this folder
        else
        {
            file = entry.getFile();
            return true;
        }
    }
    progress = 1.0f;
    return false;
}
}
