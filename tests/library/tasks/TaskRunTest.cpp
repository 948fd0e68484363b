// A task's run on its own thread, which its window may give up on: a given-up
// run is refused every hold, so what it finds afterwards lands nowhere, and a
// run that is only cancelled keeps what it did.

#include "TaskTestSupport.h"

#include "library/tasks/FileListScan.h"
#include "library/tasks/TaskRun.h"
#include "support/StalledFile.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
class TaskRunTest : public test::DatabaseTest
{
protected:
    std::vector<juce::File> files;

    std::shared_ptr<TaskRun> startRescan()
    {
        return TaskRun::start ([this] (TaskProgress& progress) { FileListScan (database, files).run (progress); });
    }
};
}

TEST_F (TaskRunTest, AGivenUpRunTouchesNothingAfterwards)
{
    const auto stalledSong = test::writeSmallWav (temp.file ("music/stalled.wav"));
    files = { test::writeSmallWav (temp.file ("music/a.wav")), stalledSong };
    test::StalledFile stall (stalledSong);
    ASSERT_TRUE (stall.isStalling());

    const auto run = startRescan();
    EXPECT_FALSE (run->waitUntilFinished (300)) << "stuck in the stalled file";
    run->cancel();
    EXPECT_FALSE (run->waitUntilFinished (200));
    run->abandon (1000);
    EXPECT_TRUE (run->wasAbandoned());
    EXPECT_FALSE ((bool) run->holdResults()) << "no hold after being given up";

    stall.release();
    EXPECT_TRUE (run->waitUntilFinished (10000));
    EXPECT_EQ (database.getNumEntries(), 0);
    EXPECT_EQ (files.size(), 2u);
}

TEST_F (TaskRunTest, ACancelledRunStopsBeforeItsNextFileAndKeepsWhatItDid)
{
    const auto stalledSong = test::writeSmallWav (temp.file ("music/stalled.wav"));
    files = { test::writeSmallWav (temp.file ("music/a.wav")), stalledSong, test::writeSmallWav (temp.file ("music/b.wav")) };
    test::StalledFile stall (stalledSong);
    ASSERT_TRUE (stall.isStalling());

    const auto run = startRescan();
    EXPECT_FALSE (run->waitUntilFinished (300));
    run->cancel();
    stall.release();
    EXPECT_TRUE (run->waitUntilFinished (10000));
    EXPECT_FALSE (run->wasAbandoned());
    EXPECT_EQ (database.getNumEntries(), 2) << "b and the stalled file";
    EXPECT_EQ (files.size(), 1u) << "a is left";
    EXPECT_TRUE (run->getStatus().contains ("stalled.wav"));
}
