#pragma once

#include "library/browser/ID3ViewComponent.h"
#include "library/database/ID3DataBase.h"

#include <mutex>

namespace zund
{
/** What every run of a table's worker reaches outside the message-manager
    lock: the database and the table's message queue. The table cuts it when it
    goes, so that a run left behind never touches either afterwards. */
struct ID3ViewComponent::WorkerLink
{
    WorkerLink (ID3DataBase* db, ID3ViewComponent* t) : database (db), table (t) {}

    /** Runs `use` with the database under its lock. While someone else holds
        that lock the worker waits, but gives up (false) once told to stop; false
        too once cut. */
    template <typename Use>
    bool withDatabase (const juce::Thread& worker, Use&& use)
    {
        for (;;)
        {
            {
                const std::lock_guard<std::mutex> guard (mutex);
                if (database == nullptr)
                    return false;
                const juce::ScopedTryLock stl (database->getLock());
                if (stl.isLocked())
                {
                    use (*database);
                    return true;
                }
            }
            if (worker.threadShouldExit())
                return false;
            juce::Thread::sleep (1);
        }
    }

    void post (int kind, int value, int generation);
    void cut();

    std::mutex mutex;
    ID3DataBase* database;
    ID3ViewComponent* table;
};

/** One run of the song table's worker ("ID3ViewThread"): fills the rows of its
    job, sorts them and fills their tags. It holds its own input; it touches the
    table only under the message-manager lock, which it is never granted once
    told to stop, and the database only through the link. */
class ID3ViewComponent::Worker : public juce::Thread
{
public:
    Worker (ID3ViewComponent& table, std::shared_ptr<WorkerLink> link, Job job);
    ~Worker() override;

    /** The work of the job not done yet. */
    int getUndoneWork() const noexcept { return undone.load(); }

    /** Worker messages (kind, value, generation). */
    struct Message : public juce::Message
    {
        Message (int k, int v, int g) : kind (k), value (v), generation (g) {}
        const int kind, value, generation;
    };

private:
    void run() override;
    void post (int kind, int value);

    bool fillRows (std::vector<juce::String>& fullPaths);
    bool sortRowsByColumns();
    /** Copies one column's cells of the rows at the places of `runs` in
        `order` (and their POS when asked), under the lock a slice at a time. */
    bool copyCells (int columnId, bool withPos, const std::vector<int>& order, const std::vector<std::pair<int, int>>& runs,
                    std::vector<juce::String>& cellOfRow, std::vector<int>& posOfRow);
    bool fillTags (std::vector<juce::String>& fullPaths, int& newRecords);
    bool readFullPathsOfRows (std::vector<juce::String>& fullPaths);
    bool applyTags (std::vector<RowTags>& tags);

    /** Called between slices under the message-manager lock: taken again at
        once, the lock keeps the message thread busy handing it over (it drains
        its whole queue in one go), so that it neither paints nor takes input.
        Every few milliseconds of that the worker pauses briefly. */
    void pauseForTheMessageThread();

    /** The tags of a file's record; a file new to the database is read (outside
        the lock) and its record made. False when there is no record to show:
        no such file, or one that is not a regular file. */
    bool tagsOfFile (const juce::String& path, RowTags& tags, bool& isNew);

    ID3ViewComponent& table; // only under the message-manager lock
    const std::shared_ptr<WorkerLink> link;
    const Job job;
    std::atomic<int> undone;
    std::unique_ptr<SongFileReader> reader;
    double lastPause = 0.0;

    JUCE_DECLARE_NON_COPYABLE (Worker)
};
}
