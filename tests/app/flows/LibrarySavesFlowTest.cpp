// The program folder on a small file system that is full: the library's saves
// during the set fail, and the user is told at once, once per file. At quit the
// program asks, while the answer can still be given, whether to try again (after
// freeing space) or to quit without saving, and the question stays until it is
// answered (neither Escape nor the window manager's close answers it); after
// "Try Again" with room made the files hold the whole evening.

#include "app/LibraryQuitSaves.h"
#include "app/flows/LibraryFlow.h"
#include "app/harness/SmallFileSystem.h"
#include "ui/panels/ControlIds.h"

#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
const std::string questionTitle = LibraryQuitSaves::title;

class LibrarySavesFlow : public test::LibraryFlow
{
protected:
    void SetUp() override
    {
        LibraryFlow::SetUp();
        if (HasFatalFailure())
            return;

        // The program's copy moves onto a file system only a little larger than itself.
        const auto folder = getProgramFolder();
        const auto program = folder.getChildFile ("Zund");
        const auto outside = folder.getSiblingFile ("Zund.outside");
        ASSERT_TRUE (program.moveFileTo (outside));
        disk = std::make_unique<test::SmallFileSystem> (folder, outside.getSize() + ((juce::int64) 8 << 20));
        if (! disk->isMounted())
        {
            ASSERT_TRUE (outside.moveFileTo (program));
            return;
        }
        ASSERT_TRUE (outside.copyFileTo (program)) << "the program does not fit";
        program.setExecutePermission (true);
        outside.deleteFile();
    }

    void TearDown() override
    {
        LibraryFlow::TearDown(); // the program ends before its folder goes
        disk.reset();
    }

    /** A mapped window with this title, other than `besides`, once one shows. */
    std::optional<test::WindowInfo> waitForBox (const std::string& title, unsigned long besides = 0)
    {
        std::optional<test::WindowInfo> box;
        waitUntilStirring (
            window->id,
            [&] {
                box = x->findWindow (title);
                return box.has_value() && box->id != besides;
            },
            60s);
        return box && box->id != besides ? box : std::nullopt;
    }

    /** A key pressed in the box; true once the box has gone. */
    bool answer (const test::WindowInfo& box, const std::string& key)
    {
        input->focus (box.id);
        EXPECT_TRUE (input->pressKey (key)) << key;
        return test::waitUntil (
            [&] {
                for (const auto& w : x->listWindows())
                    if (w.id == box.id)
                        return false;
                return true;
            },
            10s);
    }

    juce::String programFileText (const char* name) const
    {
        return getProgramFolder().getChildFile (name).loadFileAsString();
    }

    /** Files half written beside the library's files. */
    int filesLeftBeside() const
    {
        return getProgramFolder().getNumberOfChildFiles (juce::File::findFiles, ".*.new*");
    }

    std::unique_ptr<test::SmallFileSystem> disk;
};
}

TEST_F (LibrarySavesFlow, AFullDiskIsToldInTheSetAndAtQuitTryAgainWritesTheWholeEvening)
{
    if (! disk->isMounted())
        GTEST_SKIP() << disk->getProblem();

    std::vector<juce::File> songs;
    for (int i = 0; i < 4; ++i)
        songs.push_back (writeToneTrack ("song" + juce::String (i) + ".wav", 60.0, 440.0 + 110.0 * i));
    writeLibraryWithACase (songs);
    writeMixerPreferences (2, { 100, 50, 1400, 1000 });
    ASSERT_TRUE (disk->fill()) << disk->getFreeBytes() << " bytes are still free";

    startProgram();
    ASSERT_TRUE (waitForWindow());

    // The save after the start-up check fails: the user is told during the set.
    auto told = waitForBox ("Zund2");
    ASSERT_TRUE (told.has_value()) << "no message of the database's failed save";
    EXPECT_EQ (x->countWindows ("Zund2"), 1);

    // The evening goes on while the message shows: a song is loaded and plays,
    // and gets a cue point.
    ASSERT_TRUE (waitForProgramPorts());
    ASSERT_TRUE (connectDeck (0, 1));
    ASSERT_TRUE (listenTo (1, 0));
    jack->source (0).playTimecode (0.0);
    loadSong (songs[0], 0);
    EXPECT_GT (onMain (recordUntilHeard (440.0), 440.0), 0.05) << "the song does not play";
    std::this_thread::sleep_for (2s);
    clickOn (ControlIds::of (0, ControlIds::firstCueSet));
    const auto stillTold = x->findWindow ("Zund2");
    EXPECT_TRUE (stillTold.has_value() && stillTold->id == told->id) << "the message went by itself";
    ASSERT_TRUE (answer (*told, "Return"));

    // The song goes into a case.
    dropSongOnCase (songs[0], "Set");

    // The tree file fails too: news, told once as well.
    told = waitForBox ("Zund2");
    ASSERT_TRUE (told.has_value()) << "no message of the tree file's failed save";
    EXPECT_EQ (x->countWindows ("Zund2"), 1);
    ASSERT_TRUE (answer (*told, "Return"));

    // At quit the question comes, and stays until one of its buttons is chosen.
    x->sendCloseRequest (window->id);
    const auto really = waitForBox ("Really quit?");
    ASSERT_TRUE (really.has_value());
    ASSERT_TRUE (answer (*really, "Return"));
    const auto question = waitForBox (questionTitle);
    ASSERT_TRUE (question.has_value()) << "no question at quit";
    std::this_thread::sleep_for (3s);
    input->focus (question->id);
    input->pressKey ("Escape");
    std::this_thread::sleep_for (1s);
    EXPECT_TRUE (program->isRunning());
    auto stays = x->findWindow (questionTitle);
    ASSERT_TRUE (stays.has_value() && stays->id == question->id) << "the question went without an answer";

    // Nor does a window manager's close button (or Alt+F4) answer it.
    ASSERT_TRUE (x->sendCloseRequest (question->id));
    std::this_thread::sleep_for (2s);
    ASSERT_TRUE (program->isRunning()) << "the close message quit the program unanswered";
    stays = x->findWindow (questionTitle);
    ASSERT_TRUE (stays.has_value() && stays->id == question->id) << "the close message took the question away";
    input->focus (question->id);

    // Trying again while the disk is still full asks again.
    input->pressKey ("Return");
    const auto again = waitForBox (questionTitle, question->id);
    ASSERT_TRUE (again.has_value()) << "no question after a second failure";

    // Room is made: trying again writes the library, and the program ends.
    ASSERT_TRUE (disk->makeRoom());
    ASSERT_TRUE (answer (*again, "Return"));
    const auto code = program->waitForExit (60s);
    ASSERT_TRUE (code.has_value()) << "the program did not end";
    EXPECT_EQ (*code, 0);

    const auto stored = storedSongs();
    ASSERT_TRUE (stored.has_value()) << "database.xml cannot be read:\n" << programFileText ("database.xml");
    EXPECT_EQ (stored->size(), (int) songs.size()) << stored->joinIntoString ("\n");
    for (const auto& song : songs)
        EXPECT_TRUE (stored->contains (song.getFullPathName())) << song.getFullPathName();
    EXPECT_GT (storedCuePoint (songs[0]), 0.0) << "the cue point set in the set";
    EXPECT_EQ (storedCase ("Set"), juce::StringArray (songs[0].getFullPathName())) << "the case edit";
    EXPECT_EQ (filesLeftBeside(), 0);
}

TEST_F (LibrarySavesFlow, QuitWithoutSavingQuitsAndLeavesTheOldFiles)
{
    if (! disk->isMounted())
        GTEST_SKIP() << disk->getProblem();

    const auto song = writeToneTrack ("song.wav", 30.0, 440.0);
    writeLibraryWithACase ({ song });
    writeMixerPreferences (2, { 100, 50, 1400, 1000 });
    const auto databaseBefore = programFileText ("database.xml");
    const auto treeBefore = programFileText ("TreeView.xml");
    ASSERT_TRUE (disk->fill()) << disk->getFreeBytes() << " bytes are still free";

    startProgram();
    ASSERT_TRUE (waitForWindow());
    const auto told = waitForBox ("Zund2");
    ASSERT_TRUE (told.has_value()) << "no message of the database's failed save";
    ASSERT_TRUE (answer (*told, "Return"));

    x->sendCloseRequest (window->id); // nothing plays: no "Really quit?"
    const auto question = waitForBox (questionTitle);
    ASSERT_TRUE (question.has_value()) << "no question at quit";
    ASSERT_TRUE (answer (*question, "q")); // "Quit Without Saving"
    const auto code = program->waitForExit (60s);
    ASSERT_TRUE (code.has_value()) << "the program did not end";
    EXPECT_EQ (*code, 0);

    EXPECT_EQ (programFileText ("database.xml"), databaseBefore);
    EXPECT_EQ (programFileText ("TreeView.xml"), treeBefore);
    EXPECT_EQ (filesLeftBeside(), 0);
}
