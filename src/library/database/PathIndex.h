#pragma once

#include "library/database/ID3DataBaseEntry.h"

#include <functional>
#include <memory>
#include <vector>

namespace zund
{
/** The database's records in two parallel arrays sorted by the path hash of each
    record's filename (getPathHash), so a path is found by a binary search and a
    look through the records of equal hash. A record's filename must not change
    while it is in the index. Not locked: ID3DataBase guards it. */
class PathIndex
{
public:
    int size() const noexcept { return (int) entries.size(); }

    /** The record at an index; null outside 0..size()-1. */
    ID3DataBaseEntry* at (int index) const noexcept;

    /** Index of a record whose filename equals the path exactly, or -1. */
    int find (const juce::String& path) const;

    /** Adds a record after those of equal hash; returns its index. */
    int insert (std::unique_ptr<ID3DataBaseEntry> entry);

    /** Takes the record at an index out without deleting it; null outside the range. */
    std::unique_ptr<ID3DataBaseEntry> takeAt (int index);

    /** Deletes the record at an index (nothing outside the range). */
    void removeAt (int index);

    /** Deletes every record the predicate picks, in one pass; returns how many. */
    int removeIf (const std::function<bool (const ID3DataBaseEntry&)>& shouldRemove);

    void clear() noexcept;

    /** Replaces the contents with these records, sorted by hash; records of equal
        hash keep their order. */
    void rebuild (std::vector<std::unique_ptr<ID3DataBaseEntry>> newEntries);

private:
    std::vector<std::unique_ptr<ID3DataBaseEntry>> entries;
    std::vector<int> pathHashes;
};
}
