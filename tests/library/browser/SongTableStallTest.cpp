// The song table with files and locks that never answer: a named pipe with a
// song's name, a database held by someone else, a worker that will not stop.
// Nothing here may wait for ever; each test's own watchdog frees what it holds
// after a generous while and the test then fails instead of hanging.

#include "SongTableRig.h"

#include "library/browser/AbandonedWorkers.h"
#include "library/browser/SongTableColumns.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

using namespace zund;
using Col = SongTableColumns;

namespace
{
constexpr auto watchdogTime = std::chrono::seconds (30);

/** Every watchdog time, runs `rescue` to free whatever may be stuck, until it
    is destroyed. Made before the table, it also frees a table that cannot be
    torn down after a failed test. */
class Watchdog
{
public:
    explicit Watchdog (std::function<void()> rescueAction)
        : rescue (std::move (rescueAction)), thread ([this] { watch(); })
    {
    }

    ~Watchdog()
    {
        stopping = true;
        thread.join();
    }

    /** True once the watchdog had to step in. */
    bool hadToRescue() const { return rescued; }

private:
    void watch()
    {
        auto deadline = std::chrono::steady_clock::now() + watchdogTime;
        while (! stopping)
        {
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
            if (std::chrono::steady_clock::now() < deadline)
                continue;
            rescued = true;
            rescue();
            deadline = std::chrono::steady_clock::now() + std::chrono::seconds (1);
        }
    }

    std::function<void()> rescue;
    std::atomic<bool> stopping { false }, rescued { false };
    std::thread thread;
};

// Whoever opened the pipe for reading waits for a writer: this is one.
void unblockReadersOf (const juce::File& pipe)
{
    if (const int fd = ::open (pipe.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK); fd >= 0)
        ::close (fd);
}

bool hasRecord (ID3DataBase& database, const juce::File& file)
{
    const juce::ScopedLock sl (database.getLock());
    return database.findIndex (file.getFullPathName()) >= 0;
}
}

TEST (SongTableStall, aPipeNamedLikeASongIsNoSongAndHoldsNothingUp)
{
    test::TempFolder music;
    const auto folder = music.get();
    const auto pipe = folder.getChildFile ("stalled.mp3");
    Watchdog watchdog ([pipe] { unblockReadersOf (pipe); });

    test::SongTableRig rig;
    for (auto name : { "a.wav", "b.mp3" })
        folder.getChildFile (name).create();
    ASSERT_EQ (::mkfifo (pipe.getFullPathName().toRawUTF8(), 0644), 0);
    rig.addRecords (300);

    rig.table->showFolder (folder);
    ASSERT_TRUE (rig.waitUntilIdle());
    EXPECT_EQ (rig.column (Col::filename), juce::StringArray ({ "a.wav", "b.mp3" }));
    EXPECT_EQ (rig.reportedCounts.getLast(), 2);

    // The pipe named in a case: its row shows, but nothing opens it.
    juce::StringArray gig { pipe.getFullPathName(), folder.getChildFile ("a.wav").getFullPathName() };
    ASSERT_TRUE (rig.showCase (gig));
    EXPECT_EQ (rig.fullPaths(), gig);
    EXPECT_EQ (rig.column (Col::artist)[0], "");
    EXPECT_EQ (rig.column (Col::time)[1], "0:00") << "the other row has its tags";

    // Switching back and forth while the table works.
    rig.table->showFolder (folder);
    rig.table->showDatabase();
    rig.table->showCase (&gig);
    rig.table->showFolder (folder);
    ASSERT_TRUE (rig.waitUntilIdle());
    EXPECT_EQ (rig.table->getNumRows(), 2);

    EXPECT_FALSE (watchdog.hadToRescue()) << "something opened the pipe and waited for a writer";
    EXPECT_FALSE (hasRecord (*rig.database, pipe));
    EXPECT_TRUE (hasRecord (*rig.database, folder.getChildFile ("a.wav")));
}

TEST (SongTableStall, modeSwitchesStayQuickWhileTheDatabaseIsHeld)
{
    test::SongTableRig rig;
    rig.addRecords (5000);
    juce::StringArray three { "/x/1.mp3", "/x/2.mp3", "/x/3.mp3" };

    // Someone else keeps the database lock until the switches are over (or
    // gives up after the watchdog time).
    struct Holder
    {
        std::atomic<bool> switched { false }, gaveUp { false };
        juce::WaitableEvent held;
        std::thread thread;

        explicit Holder (ID3DataBase& database)
            : thread ([this, &database] {
                  const juce::ScopedLock sl (database.getLock());
                  held.signal();
                  const auto end = std::chrono::steady_clock::now() + watchdogTime;
                  while (! switched && std::chrono::steady_clock::now() < end)
                      std::this_thread::sleep_for (std::chrono::milliseconds (5));
                  gaveUp = ! switched;
              })
        {
            held.wait();
        }

        void release()
        {
            switched = true;
            if (thread.joinable())
                thread.join();
        }

        ~Holder() { release(); }
    } holder (*rig.database);

    rig.table->showDatabase();
    test::pumpMessages (50);
    rig.table->showCase (&three);
    rig.table->showFolder (rig.temp.get());
    rig.table->setSearchWords ({ "song1" });
    rig.reportedCounts.clear();
    rig.table->setKeepOrder (true);
    rig.table->showCase (&three);
    holder.release();

    ASSERT_TRUE (rig.waitUntilIdle());
    EXPECT_FALSE (holder.gaveUp) << "a switch waited for the worker until the lock was given up";
    EXPECT_EQ (rig.fullPaths(), three);
    for (int count : rig.reportedCounts)
        EXPECT_LE (count, 3) << "a count of an earlier run";
    EXPECT_FALSE (rig.working);
}

TEST (AbandonedWorkers, aWorkerThatDoesNotStopIsLeftToEndOnItsOwn)
{
    struct Stubborn : juce::Thread
    {
        juce::WaitableEvent release;
        Stubborn() : juce::Thread ("stubborn") {}
        void run() override { release.wait (30000); } // deaf to the exit flag, as a hung read is
    };

    const int before = AbandonedWorkers::numStillRunning();
    auto stubborn = std::make_unique<Stubborn>();
    auto* releaseIt = &stubborn->release;
    stubborn->startThread();

    EXPECT_FALSE (AbandonedWorkers::stop (stubborn, 20));
    EXPECT_EQ (stubborn, nullptr) << "taken over";
    EXPECT_EQ (AbandonedWorkers::numStillRunning(), before + 1);

    releaseIt->signal();
    EXPECT_TRUE (test::pumpMessagesUntil ([&] { return AbandonedWorkers::numStillRunning() == before; }, 10000));

    auto quick = std::make_unique<Stubborn>();
    quick->startThread();
    quick->release.signal();
    EXPECT_TRUE (AbandonedWorkers::stop (quick, 10000));
    EXPECT_NE (quick, nullptr) << "an ended worker stays with its owner";
}
