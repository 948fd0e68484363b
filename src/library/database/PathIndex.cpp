#include "library/database/PathIndex.h"

#include "common/FileFacts.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace zund
{
namespace
{
// A block is split when it grows past this; filled blocks start half full, so
// that records added later find room.
constexpr size_t maxBlockSize = 1024;
constexpr size_t filledBlockSize = maxBlockSize / 2;
}

PathIndex::Position PathIndex::locate (int index) const noexcept
{
    auto contains = [this, index] (size_t block) {
        return block < blocks.size() && blockStarts[block] <= index
            && index - blockStarts[block] < (int) blocks[block].entries.size();
    };

    // Walks over all records ask for the same block or the next one.
    if (! contains (lastBlock))
    {
        if (contains (lastBlock + 1))
            ++lastBlock;
        else
            lastBlock = (size_t) (std::upper_bound (blockStarts.begin(), blockStarts.end(), index) - blockStarts.begin()) - 1;
    }
    return { lastBlock, (size_t) (index - blockStarts[lastBlock]) };
}

ID3DataBaseEntry* PathIndex::at (int index) const noexcept
{
    if (index < 0 || index >= count)
        return nullptr;
    const auto position = locate (index);
    return blocks[position.block].entries[position.offset].get();
}

template <typename OnMatch>
void PathIndex::scanPath (const juce::String& path, OnMatch&& onMatch) const
{
    const int hash = getPathHash (path);
    // The first block that can hold the hash: the first whose last hash is not smaller.
    auto block = (size_t) (std::lower_bound (blockLastHashes.begin(), blockLastHashes.end(), hash) - blockLastHashes.begin());
    if (block == blocks.size())
        return;

    const auto* wanted = path.toRawUTF8();
    const auto& first = blocks[block].hashes;
    auto offset = (size_t) (std::lower_bound (first.begin(), first.end(), hash) - first.begin());

    // A run of equal hashes may go on into the next blocks.
    for (; block < blocks.size(); ++block, offset = 0)
    {
        const auto& b = blocks[block];
        for (; offset < b.entries.size(); ++offset)
        {
            if (b.hashes[offset] != hash)
                return;
            // Byte for byte: the same as comparing characters, for UTF-8, and much quicker.
            if (std::strcmp (b.entries[offset]->filename.toRawUTF8(), wanted) == 0
                && ! onMatch (blockStarts[block] + (int) offset))
                return;
        }
    }
}

int PathIndex::find (const juce::String& path) const
{
    int found = -1;
    scanPath (path, [&found] (int index) {
        found = index;
        return false;
    });
    return found;
}

void PathIndex::forEachIndexOf (const juce::String& path, const std::function<void (int)>& found) const
{
    scanPath (path, [&found] (int index) {
        found (index);
        return true;
    });
}

size_t PathIndex::blockForInsert (int hash) const noexcept
{
    // The last block whose first hash is not greater: every later block starts
    // above the hash, so the record goes after all of its equal hash.
    const auto after = std::partition_point (blocks.begin(), blocks.end(),
                                             [hash] (const Block& b) { return b.hashes.front() <= hash; });
    return after == blocks.begin() ? 0 : (size_t) (after - blocks.begin()) - 1;
}

int PathIndex::insert (std::unique_ptr<ID3DataBaseEntry> entry)
{
    const int hash = getPathHash (entry->filename);
    if (blocks.empty())
    {
        blocks.emplace_back();
        blockStarts.push_back (0);
    }

    const auto block = blocks.front().hashes.empty() ? 0 : blockForInsert (hash);
    auto& b = blocks[block];
    const auto offset = std::upper_bound (b.hashes.begin(), b.hashes.end(), hash) - b.hashes.begin();
    b.hashes.insert (b.hashes.begin() + offset, hash);
    b.entries.insert (b.entries.begin() + offset, std::move (entry));
    ++count;

    const int index = blockStarts[block] + (int) offset;
    if (b.entries.size() > maxBlockSize)
        splitBlock (block);
    else
        renumberFrom (block + 1);
    return index;
}

void PathIndex::splitBlock (size_t block)
{
    Block second;
    auto& first = blocks[block];
    const auto half = (std::ptrdiff_t) first.entries.size() / 2;
    second.entries.assign (std::make_move_iterator (first.entries.begin() + half), std::make_move_iterator (first.entries.end()));
    second.hashes.assign (first.hashes.begin() + half, first.hashes.end());
    first.entries.resize ((size_t) half);
    first.hashes.resize ((size_t) half);

    blocks.insert (blocks.begin() + (std::ptrdiff_t) block + 1, std::move (second));
    blockStarts.insert (blockStarts.begin() + (std::ptrdiff_t) block + 1, 0);
    renumberFrom (block + 1);
}

void PathIndex::renumberFrom (size_t block) noexcept
{
    blockLastHashes.resize (blocks.size());
    if (block > 0)
        blockLastHashes[block - 1] = blocks[block - 1].hashes.back(); // the block a record went into or left
    for (; block < blocks.size(); ++block)
    {
        blockStarts[block] = block == 0 ? 0 : blockStarts[block - 1] + (int) blocks[block - 1].entries.size();
        blockLastHashes[block] = blocks[block].hashes.back();
    }
}

void PathIndex::removeFromBlock (size_t block, size_t offset)
{
    auto& b = blocks[block];
    b.entries.erase (b.entries.begin() + (std::ptrdiff_t) offset);
    b.hashes.erase (b.hashes.begin() + (std::ptrdiff_t) offset);
    --count;
    if (b.entries.empty())
    {
        blocks.erase (blocks.begin() + (std::ptrdiff_t) block);
        blockStarts.erase (blockStarts.begin() + (std::ptrdiff_t) block);
        lastBlock = 0;
    }
    renumberFrom (block);
}

std::unique_ptr<ID3DataBaseEntry> PathIndex::takeAt (int index)
{
    if (index < 0 || index >= count)
        return nullptr;
    const auto position = locate (index);
    auto entry = std::move (blocks[position.block].entries[position.offset]);
    removeFromBlock (position.block, position.offset);
    return entry;
}

void PathIndex::removeAt (int index)
{
    takeAt (index);
}

void PathIndex::takeAll (std::vector<std::unique_ptr<ID3DataBaseEntry>>& entries, std::vector<int>& hashes)
{
    entries.reserve (entries.size() + (size_t) count);
    hashes.reserve (hashes.size() + (size_t) count);
    for (auto& b : blocks)
    {
        std::move (b.entries.begin(), b.entries.end(), std::back_inserter (entries));
        hashes.insert (hashes.end(), b.hashes.begin(), b.hashes.end());
    }
    clear();
}

void PathIndex::fillBlocks (std::vector<std::unique_ptr<ID3DataBaseEntry>>& entries, std::vector<int>& hashes)
{
    clear();
    const auto total = entries.size();
    blocks.reserve (total / filledBlockSize + 1);
    blockStarts.reserve (blocks.capacity());
    for (size_t start = 0; start < total; start += filledBlockSize)
    {
        const auto end = std::min (total, start + filledBlockSize);
        Block b;
        b.entries.reserve (maxBlockSize + 1);
        b.hashes.reserve (maxBlockSize + 1);
        b.entries.assign (std::make_move_iterator (entries.begin() + (std::ptrdiff_t) start),
                          std::make_move_iterator (entries.begin() + (std::ptrdiff_t) end));
        b.hashes.assign (hashes.begin() + (std::ptrdiff_t) start, hashes.begin() + (std::ptrdiff_t) end);
        blockStarts.push_back ((int) start);
        blockLastHashes.push_back (b.hashes.back());
        blocks.push_back (std::move (b));
    }
    count = (int) total;
}

void PathIndex::insertAll (std::vector<std::unique_ptr<ID3DataBaseEntry>> newEntries)
{
    if (newEntries.empty())
        return;

    std::vector<int> newHashes;
    newHashes.reserve (newEntries.size());
    for (const auto& entry : newEntries)
        newHashes.push_back (getPathHash (entry->filename));
    std::vector<size_t> order (newEntries.size());
    std::iota (order.begin(), order.end(), size_t { 0 });
    std::stable_sort (order.begin(), order.end(), [&newHashes] (size_t a, size_t b) { return newHashes[a] < newHashes[b]; });

    std::vector<std::unique_ptr<ID3DataBaseEntry>> old, merged;
    std::vector<int> oldHashes, mergedHashes;
    takeAll (old, oldHashes);
    merged.reserve (old.size() + newEntries.size());
    mergedHashes.reserve (merged.capacity());

    // Equal hashes: the records already there come first.
    size_t i = 0, k = 0;
    while (i < old.size() || k < order.size())
    {
        if (k == order.size() || (i < old.size() && oldHashes[i] <= newHashes[order[k]]))
        {
            merged.push_back (std::move (old[i]));
            mergedHashes.push_back (oldHashes[i++]);
        }
        else
        {
            merged.push_back (std::move (newEntries[order[k]]));
            mergedHashes.push_back (newHashes[order[k++]]);
        }
    }
    fillBlocks (merged, mergedHashes);
}

template <typename Pick>
std::vector<std::unique_ptr<ID3DataBaseEntry>> PathIndex::takeWhere (Pick&& pick)
{
    std::vector<std::unique_ptr<ID3DataBaseEntry>> all, taken;
    std::vector<int> hashes;
    takeAll (all, hashes);

    size_t kept = 0;
    for (size_t i = 0; i < all.size(); ++i)
    {
        if (pick (i, *all[i]))
        {
            taken.push_back (std::move (all[i]));
            continue;
        }
        if (kept != i)
        {
            all[kept] = std::move (all[i]);
            hashes[kept] = hashes[i];
        }
        ++kept;
    }
    all.resize (kept);
    hashes.resize (kept);
    fillBlocks (all, hashes);
    return taken;
}

std::vector<std::unique_ptr<ID3DataBaseEntry>> PathIndex::takeIf (const std::function<bool (const ID3DataBaseEntry&)>& pick)
{
    return takeWhere ([&pick] (size_t, const ID3DataBaseEntry& entry) { return pick (entry); });
}

std::vector<std::unique_ptr<ID3DataBaseEntry>> PathIndex::takeMarked (const std::vector<bool>& marked)
{
    return takeWhere ([&marked] (size_t index, const ID3DataBaseEntry&) { return index < marked.size() && marked[index]; });
}

int PathIndex::removeIf (const std::function<bool (const ID3DataBaseEntry&)>& shouldRemove)
{
    return (int) takeIf (shouldRemove).size();
}

void PathIndex::clear() noexcept
{
    blocks.clear();
    blockStarts.clear();
    blockLastHashes.clear();
    count = 0;
    lastBlock = 0;
}

void PathIndex::rebuild (std::vector<std::unique_ptr<ID3DataBaseEntry>> newEntries)
{
    clear();
    insertAll (std::move (newEntries));
}
}
