#pragma once

#include "library/database/ID3DataBaseEntry.h"

#include <functional>
#include <memory>
#include <vector>

namespace zund
{
/** The database's records in the order of the path hash of each record's
    filename (getPathHash), so a path is found by a binary search and a look
    through the records of equal hash. A record's filename must not change while
    it is in the index. Not locked: ID3DataBase guards it.

    The sequence is kept in blocks of at most a thousand records (each with the
    hashes beside it) and a running count of the blocks' sizes (a Fenwick tree),
    so adding or taking one record moves at most one block and costs a few
    steps more, however large the library. */
class PathIndex
{
public:
    int size() const noexcept { return count; }

    /** The record at an index; null outside 0..size()-1. Walking the indexes in
        order is as quick as walking an array. */
    ID3DataBaseEntry* at (int index) const noexcept;

    /** Index of a record whose filename equals the path exactly, or -1. */
    int find (const juce::String& path) const;

    /** Adds a record after those of equal hash; returns its index. */
    int insert (std::unique_ptr<ID3DataBaseEntry> entry);

    /** Adds many records in one merge (after those of equal hash, in their order). */
    void insertAll (std::vector<std::unique_ptr<ID3DataBaseEntry>> newEntries);

    /** Takes the record at an index out without deleting it; null outside the range. */
    std::unique_ptr<ID3DataBaseEntry> takeAt (int index);

    /** Deletes the record at an index (nothing outside the range). */
    void removeAt (int index);

    /** Takes out every record the predicate picks, in one pass, in index order. */
    std::vector<std::unique_ptr<ID3DataBaseEntry>> takeIf (const std::function<bool (const ID3DataBaseEntry&)>& pick);

    /** Takes out the records at the marked indexes (marked has size() flags), in one pass. */
    std::vector<std::unique_ptr<ID3DataBaseEntry>> takeMarked (const std::vector<bool>& marked);

    /** Calls back with the index of every record whose filename equals the path. */
    void forEachIndexOf (const juce::String& path, const std::function<void (int index)>& found) const;

    /** Deletes every record the predicate picks, in one pass; returns how many. */
    int removeIf (const std::function<bool (const ID3DataBaseEntry&)>& shouldRemove);

    void clear() noexcept;

    /** Replaces the contents with these records, sorted by hash; records of equal
        hash keep their order. */
    void rebuild (std::vector<std::unique_ptr<ID3DataBaseEntry>> newEntries);

private:
    struct Block
    {
        std::vector<std::unique_ptr<ID3DataBaseEntry>> entries;
        std::vector<int> hashes;
    };

    struct Position
    {
        size_t block, offset;
    };

    Position locate (int index) const noexcept;
    size_t blockForInsert (int hash) const noexcept;
    void splitBlock (size_t block);
    void removeFromBlock (size_t block, size_t offset);

    /** After blocks were added or removed: the sizes' running count and the last hashes anew. */
    void blocksChanged();
    void blockSizeChanged (size_t block, int change) noexcept;
    /** Index of the block's first record. */
    int startOf (size_t block) const noexcept;
    /** Every record in index order, with its hash; empties the index. */
    void takeAll (std::vector<std::unique_ptr<ID3DataBaseEntry>>& entries, std::vector<int>& hashes);
    void fillBlocks (std::vector<std::unique_ptr<ID3DataBaseEntry>>& entries, std::vector<int>& hashes);
    template <typename Pick>
    std::vector<std::unique_ptr<ID3DataBaseEntry>> takeWhere (Pick&& pick);
    /** Calls onMatch (index) for the records of the path, in order, while it answers true. */
    template <typename OnMatch>
    void scanPath (const juce::String& path, OnMatch&& onMatch) const;

    std::vector<Block> blocks;          // none is empty
    std::vector<int> sizeTree;          // Fenwick tree of the blocks' sizes (1-based)
    std::vector<int> blockLastHashes;   // each block's last hash, searched without touching the blocks
    int count = 0;

    // Where the last lookup by index ended, so that a walk in order takes no search.
    mutable size_t lastBlock = 0;
    mutable int lastBlockStart = -1;    // -1: not known
};
}
