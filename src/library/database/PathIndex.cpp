#include "library/database/PathIndex.h"

#include "common/FileFacts.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace zund
{
ID3DataBaseEntry* PathIndex::at (int index) const noexcept
{
    return index >= 0 && index < size() ? entries[(size_t) index].get() : nullptr;
}

int PathIndex::find (const juce::String& path) const
{
    const auto run = std::equal_range (pathHashes.begin(), pathHashes.end(), getPathHash (path));
    const auto* wanted = path.toRawUTF8();
    for (auto i = run.first; i != run.second; ++i)
    {
        // Byte for byte: the same as comparing characters, for UTF-8, and much quicker.
        const auto index = (size_t) (i - pathHashes.begin());
        if (std::strcmp (entries[index]->filename.toRawUTF8(), wanted) == 0)
            return (int) index;
    }
    return -1;
}

int PathIndex::insert (std::unique_ptr<ID3DataBaseEntry> entry)
{
    const int hash = getPathHash (entry->filename);
    const auto position = std::upper_bound (pathHashes.begin(), pathHashes.end(), hash) - pathHashes.begin();
    pathHashes.insert (pathHashes.begin() + position, hash);
    entries.insert (entries.begin() + position, std::move (entry));
    return (int) position;
}

std::unique_ptr<ID3DataBaseEntry> PathIndex::takeAt (int index)
{
    if (index < 0 || index >= size())
        return nullptr;
    auto entry = std::move (entries[(size_t) index]);
    entries.erase (entries.begin() + index);
    pathHashes.erase (pathHashes.begin() + index);
    return entry;
}

void PathIndex::removeAt (int index)
{
    takeAt (index);
}

int PathIndex::removeIf (const std::function<bool (const ID3DataBaseEntry&)>& shouldRemove)
{
    size_t kept = 0;
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (shouldRemove (*entries[i]))
            continue;
        if (kept != i)
        {
            entries[kept] = std::move (entries[i]);
            pathHashes[kept] = pathHashes[i];
        }
        ++kept;
    }
    const auto removed = (int) (entries.size() - kept);
    entries.resize (kept);
    pathHashes.resize (kept);
    return removed;
}

void PathIndex::clear() noexcept
{
    entries.clear();
    pathHashes.clear();
}

void PathIndex::rebuild (std::vector<std::unique_ptr<ID3DataBaseEntry>> newEntries)
{
    std::vector<int> hashes;
    hashes.reserve (newEntries.size());
    for (const auto& entry : newEntries)
        hashes.push_back (getPathHash (entry->filename));

    std::vector<size_t> order (newEntries.size());
    std::iota (order.begin(), order.end(), size_t { 0 });
    std::stable_sort (order.begin(), order.end(), [&hashes] (size_t a, size_t b) { return hashes[a] < hashes[b]; });

    clear();
    entries.reserve (order.size());
    pathHashes.reserve (order.size());
    for (auto i : order)
    {
        entries.push_back (std::move (newEntries[i]));
        pathHashes.push_back (hashes[i]);
    }
}
}
