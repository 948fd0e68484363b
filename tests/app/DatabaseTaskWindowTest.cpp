// The progress window of the database tasks, on a private X server: a cancel
// that the task cannot follow (it is stuck in a file on a hung mount) must not
// freeze the window, and what the task finds after it was given up must not
// land anywhere.

#include "app/harness/FreshProcess.h"
#include "app/harness/XServer.h"
#include "library/database/ID3DataBase.h"
#include "library/tasks/ID3DataBaseFileListScanTask.h"
#include "support/AudioFixtures.h"
#include "support/BoundedRun.h"
#include "support/StalledFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

using namespace zund;

namespace
{
/** Presses the window's "Cancel" once, after a while on the message thread. */
class CancelPress : private juce::Timer
{
public:
    explicit CancelPress (int afterMs) { startTimer (afterMs); }
    ~CancelPress() override { stopTimer(); }

    bool pressed = false;

private:
    void timerCallback() override
    {
        auto* modal = juce::Component::getCurrentlyModalComponent();
        if (modal == nullptr)
            return;
        for (auto* child : modal->getChildren())
            if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == "Cancel")
            {
                button->triggerClick();
                pressed = true;
                stopTimer();
            }
    }
};

class DatabaseTaskWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! (here = test::inFreshProcess()))
            return;
        // The window needs a display of its own: the first window opens it, and
        // the framework keeps it open until the program ends, so the server
        // stays as long.
        static test::XServer xServer { 800, 600, "/dev/null" };
        ASSERT_TRUE (xServer.isRunning());
        ::setenv ("DISPLAY", xServer.getDisplayName().c_str(), 1);
    }

    juce::File song (const juce::String& name) const
    {
        const auto file = temp.file ("music/" + name);
        file.getParentDirectory().createDirectory();
        EXPECT_TRUE (test::writeAudioFile (file, test::FileKind::wav, 8000.0, 1, 16, 800,
                                           [] (juce::int64, int) { return 0.0f; }));
        return file;
    }

    DatabaseTaskWindow::Ending rescanWithCancelAfter (int milliseconds)
    {
        CancelPress cancel (milliseconds);
        ID3DataBaseFileListScanTask window (database, files);
        const test::HangWatch watch (4 * DatabaseTaskWindow::stopWaitMs / 1000.0 + 10.0, "the task window after Cancel");
        const auto ending = window.runModally();
        EXPECT_TRUE (cancel.pressed);
        return ending;
    }

    bool here = false; // false once the test ran in a fresh process
    test::TempFolder temp;
    ID3DataBase database { temp.file ("database.xml") };
    std::vector<juce::File> files;
};
}

TEST_F (DatabaseTaskWindowTest, ATaskStuckInAFileIsGivenUpAfterCancelAndItsResultsAreDropped)
{
    if (! here)
        return;
    const auto stalledSong = song ("stalled.wav");
    files = { song ("song.wav"), stalledSong }; // the rescan takes the list from its end
    test::StalledFile stall (stalledSong);
    ASSERT_TRUE (stall.isStalling());

    EXPECT_EQ (rescanWithCancelAfter (300), DatabaseTaskWindow::Ending::givenUp);

    // The stall ends after the window has gone: the file is read, but neither
    // the database nor the list learns of it.
    stall.release();
    juce::Thread::sleep (500);
    EXPECT_EQ (database.getNumEntries(), 0);
    EXPECT_EQ (files.size(), 2u);
}

TEST_F (DatabaseTaskWindowTest, ATaskThatStopsSoonAfterCancelKeepsWhatItDid)
{
    if (! here)
        return;
    // Stuck when Cancel is pressed, but the stall ends soon after: the task
    // finishes that file and stops before the next one.
    const auto stalledSong = song ("stalled.wav");
    files = { song ("a.wav"), song ("b.wav"), stalledSong, song ("c.wav"), song ("d.wav") };
    test::StalledFile stall (stalledSong);
    ASSERT_TRUE (stall.isStalling());
    std::thread release ([&stall] {
        juce::Thread::sleep (800);
        stall.release();
    });

    EXPECT_EQ (rescanWithCancelAfter (300), DatabaseTaskWindow::Ending::cancelled);
    release.join();
    EXPECT_EQ (database.getNumEntries(), 3) << "d, c and the stalled file were read";
    EXPECT_GE (database.findIndex (stalledSong.getFullPathName()), 0);
    EXPECT_EQ (files.size(), 2u) << "a and b are left to scan";
}
