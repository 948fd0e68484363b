#include "library/database/PathIndex.h"

#include "common/files/FileFacts.h"

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

int PathIndex::startOf (size_t block) const noexcept
{
    int start = 0;
    for (auto i = block; i > 0; i &= i - 1)
        start += sizeTree[i];
    return start;
}

void PathIndex::blockSizeChanged (size_t block, int change) noexcept
{
    for (auto i = block + 1; i < sizeTree.size(); i += i & (~i + 1))
        sizeTree[i] += change;
    lastBlockStart = -1;
}

void PathIndex::blocksChanged()
{
    sizeTree.assign (blocks.size() + 1, 0);
    for (size_t i = 1; i < sizeTree.size(); ++i)
    {
        sizeTree[i] += (int) blocks[i - 1].entries.size();
        if (const auto parent = i + (i & (~i + 1)); parent < sizeTree.size())
            sizeTree[parent] += sizeTree[i];
    }
    blockLastHashes.resize (blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i)
        blockLastHashes[i] = blocks[i].hashes.back();
    lastBlockStart = -1;
}

PathIndex::Position PathIndex::locate (int index) const noexcept
{
    auto contains = [this, index] (size_t block, int start) {
        return block < blocks.size() && start <= index && index - start < (int) blocks[block].entries.size();
    };

    if (lastBlockStart < 0 || ! contains (lastBlock, lastBlockStart))
    {
        // Walks over all records ask for the same block or the next one.
        const int nextStart = lastBlockStart < 0 || lastBlock >= blocks.size()
                                ? -1 : lastBlockStart + (int) blocks[lastBlock].entries.size();
        if (nextStart >= 0 && contains (lastBlock + 1, nextStart))
        {
            ++lastBlock;
            lastBlockStart = nextStart;
        }
        else
        {
            // The block whose records take the index: a descent through the running count.
            size_t block = 0;
            int before = 0;
            auto step = (size_t) 1;
            while (step * 2 < sizeTree.size())
                step *= 2;
            for (; step > 0; step /= 2)
                if (block + step < sizeTree.size() && before + sizeTree[block + step] <= index)
                {
                    block += step;
                    before += sizeTree[block];
                }
            lastBlock = block;
            lastBlockStart = before;
        }
    }
    return { lastBlock, (size_t) (index - lastBlockStart) };
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
                && ! onMatch (startOf (block) + (int) offset))
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
        blocks.back().entries.push_back (std::move (entry));
        blocks.back().hashes.push_back (hash);
        count = 1;
        blocksChanged();
        return 0;
    }

    const auto block = blockForInsert (hash);
    auto& b = blocks[block];
    const auto offset = std::upper_bound (b.hashes.begin(), b.hashes.end(), hash) - b.hashes.begin();
    b.hashes.insert (b.hashes.begin() + offset, hash);
    b.entries.insert (b.entries.begin() + offset, std::move (entry));
    ++count;
    blockLastHashes[block] = b.hashes.back();

    const int index = startOf (block) + (int) offset;
    if (b.entries.size() > maxBlockSize)
        splitBlock (block);
    else
        blockSizeChanged (block, 1);
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
    blocksChanged(); // once in some hundred inserts
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
        blocksChanged();
        return;
    }
    blockLastHashes[block] = b.hashes.back();
    blockSizeChanged (block, -1);
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
    for (size_t start = 0; start < total; start += filledBlockSize)
    {
        const auto end = std::min (total, start + filledBlockSize);
        Block b;
        b.entries.reserve (maxBlockSize + 1);
        b.hashes.reserve (maxBlockSize + 1);
        b.entries.assign (std::make_move_iterator (entries.begin() + (std::ptrdiff_t) start),
                          std::make_move_iterator (entries.begin() + (std::ptrdiff_t) end));
        b.hashes.assign (hashes.begin() + (std::ptrdiff_t) start, hashes.begin() + (std::ptrdiff_t) end);
        blocks.push_back (std::move (b));
    }
    count = (int) total;
    blocksChanged();
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
    sizeTree.clear();
    blockLastHashes.clear();
    count = 0;
    lastBlock = 0;
    lastBlockStart = -1;
}

void PathIndex::rebuild (std::vector<std::unique_ptr<ID3DataBaseEntry>> newEntries)
{
    clear();
    insertAll (std::move (newEntries));
}
}
