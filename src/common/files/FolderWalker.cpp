#include "common/files/FolderWalker.h"

#include <cstdlib>

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
}

FolderWalker::FolderWalker (const juce::File& folder, bool subFolders) : intoSubFolders (subFolders)
{
    if (folder.isDirectory())
        enter (folder.getFullPathName().toStdString());
}

void FolderWalker::enter (const std::string& path)
{
    const auto resolved = resolvedPath (path);
    if (resolved.empty() || ! walkedFolders.insert (resolved).second)
        return;

    open.emplace_back (path);
    keepSkipped (open.back()); // a folder whose own path cannot be held
}

void FolderWalker::keepSkipped (FolderListing& listing)
{
    for (auto& entry : listing.takeSkipped())
        if (entry.kind != FolderListing::Kind::other)
            skipped.push_back (std::move (entry));
}

bool FolderWalker::next (juce::File& file)
{
    FolderListing::Entry entry;
    while (! open.empty())
    {
        auto& listing = open.back();
        const bool found = listing.next (entry);
        keepSkipped (listing);
        if (! found)
        {
            open.pop_back();
            continue;
        }
        if (entry.kind == FolderListing::Kind::folder)
        {
            if (intoSubFolders)
                enter (entry.path); // walked before the rest of this folder
        }
        else if (entry.kind == FolderListing::Kind::file)
        {
            file = entry.getFile();
            return true;
        }
    }
    return false;
}
}
