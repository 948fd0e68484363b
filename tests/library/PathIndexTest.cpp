// The path index keeps thousands of records in blocks: whatever is added,
// taken or removed, each record stays findable by its path, the order by path
// hash holds across blocks, and every index names one record.

#include "common/files/FileFacts.h"
#include "library/database/ID3DataBase.h"
#include "library/database/PathIndex.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace zund;

namespace
{
std::unique_ptr<ID3DataBaseEntry> record (const juce::String& path, int tag)
{
    auto entry = std::make_unique<ID3DataBaseEntry>();
    entry->filename = path;
    entry->seconds = tag;
    entry->setValid();
    return entry;
}

/** Many paths, a run of them of one hash ("Aa" and "BB" hash alike). */
juce::String pathFor (int n)
{
    if (n % 10 != 0)
        return "/music/" + juce::String (n) + ".mp3";
    juce::String path ("/music/c");
    for (int i = 0; i < 12; ++i)
        path << (((n >> i) & 1) != 0 ? "BB" : "Aa");
    return path;
}

void expectMatchesModel (const PathIndex& index, const std::multimap<juce::String, int>& model)
{
    ASSERT_EQ (index.size(), (int) model.size());
    int previousHash = -1;
    std::multimap<juce::String, int> seen;
    for (int i = 0; i < index.size(); ++i) // in order, as the song table walks it
    {
        const auto* entry = index.at (i);
        ASSERT_NE (entry, nullptr) << i;
        const int hash = getPathHash (entry->filename);
        ASSERT_LE (previousHash, hash) << "ordered by hash at " << i;
        previousHash = hash;
        seen.emplace (entry->filename, entry->seconds);
    }
    EXPECT_EQ (seen, model);
    EXPECT_EQ (index.at (index.size()), nullptr);
    EXPECT_EQ (index.at (-1), nullptr);
    for (const auto& [path, tag] : model)
    {
        const int found = index.find (path);
        ASSERT_GE (found, 0) << path;
        EXPECT_EQ (index.at (found)->filename, path);
    }
}
}

TEST (PathIndexTest, FollowsAModelThroughThousandsOfChanges)
{
    std::mt19937 random (99);
    PathIndex index;
    std::multimap<juce::String, int> model;
    int tag = 0;

    std::vector<std::unique_ptr<ID3DataBaseEntry>> first;
    for (int i = 0; i < 5000; ++i)
    {
        first.push_back (record (pathFor (i), ++tag));
        model.emplace (pathFor (i), tag);
    }
    index.rebuild (std::move (first));
    expectMatchesModel (index, model);

    for (int round = 0; round < 40; ++round)
    {
        // Single records, enough to split blocks.
        for (int k = 0; k < 300; ++k)
        {
            const auto path = pathFor ((int) (random() % 9000));
            const int at = index.insert (record (path, ++tag));
            ASSERT_EQ (index.at (at)->seconds, tag) << "the index it answers holds the record";
            model.emplace (path, tag);
        }
        // Single records taken, enough to empty blocks.
        for (int k = 0; k < 200 && index.size() > 0; ++k)
        {
            auto taken = index.takeAt ((int) (random() % (unsigned) index.size()));
            ASSERT_NE (taken, nullptr);
            const auto range = model.equal_range (taken->filename);
            for (auto it = range.first; it != range.second; ++it)
                if (it->second == taken->seconds)
                {
                    model.erase (it);
                    break;
                }
        }
        // A group removed and a batch added, each in one pass.
        const int parity = (int) (random() % 3);
        EXPECT_EQ (index.removeIf ([parity] (const ID3DataBaseEntry& e) { return e.seconds % 5 == parity; }),
                   (int) std::count_if (model.begin(), model.end(), [parity] (const auto& m) { return m.second % 5 == parity; }));
        for (auto it = model.begin(); it != model.end();)
            it = it->second % 5 == parity ? model.erase (it) : std::next (it);
        std::vector<std::unique_ptr<ID3DataBaseEntry>> batch;
        for (int k = 0; k < 250; ++k)
        {
            const auto path = pathFor ((int) (random() % 9000));
            batch.push_back (record (path, ++tag));
            model.emplace (path, tag);
        }
        index.insertAll (std::move (batch));
        expectMatchesModel (index, model);
    }
}

TEST (PathIndexTest, RemovingFilesAndMovingRecordsTakeExactlyThoseRecords)
{
    test::TempFolder temp;
    ID3DataBase database (temp.file ("database.xml"));
    for (int i = 0; i < 3000; ++i)
        database.insertEntry (record (pathFor (i), i));
    database.insertEntry (record (pathFor (21), 20000)); // a path twice
    database.insertEntry (record ("relative.mp3", 30000));

    juce::StringArray gone;
    for (int i = 0; i < 3000; i += 3)
        gone.add (pathFor (i));
    gone.add ("/music//" + juce::String (1) + ".mp3"); // another form of a path
    gone.add ("/music/never.mp3");
    gone.add ("relative.mp3");
    EXPECT_EQ (database.removeFiles (gone), 1000 + 1 + 1 + 1);
    EXPECT_EQ (database.getNumEntries(), 3000 - 1000 - 1);
    EXPECT_EQ (database.findIndex (pathFor (21)), -1) << "both records of the path";
    EXPECT_EQ (database.findIndex (pathFor (1)), -1);
    EXPECT_GE (database.findIndex (pathFor (2)), 0);

    // Records moved to other paths in one go: found there only, no longer missing.
    std::vector<ID3DataBase::Move> moves;
    for (int i = 2; i < 3000; i += 3)
    {
        auto* moved = database.getEntry (database.findIndex (pathFor (i)));
        moved->missing = true;
        moves.push_back ({ moved, "/elsewhere/" + juce::String (i) + ".mp3" });
    }
    database.moveRecords (moves);
    EXPECT_EQ (database.getNumEntries(), 3000 - 1000 - 1);
    EXPECT_EQ (database.getNumMissingEntries(), 0);
    for (int i = 2; i < 3000; i += 3)
    {
        EXPECT_EQ (database.findIndex (pathFor (i)), -1);
        const auto* moved = database.getEntry (database.findIndex ("/elsewhere/" + juce::String (i) + ".mp3"));
        ASSERT_NE (moved, nullptr);
        EXPECT_EQ (moved->seconds, i);
    }
    EXPECT_GE (database.findIndex (pathFor (4)), 0) << "the others stay";
}
