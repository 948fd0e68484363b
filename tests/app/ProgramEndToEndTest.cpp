// Starts the real program under a private X server and a JACK server with its
// dummy backend, from a temporary program folder, and checks what a user sees.

#include "SpawnedProcess.h"
#include "X11Windows.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <unistd.h>

using namespace zund;
using namespace std::chrono_literals;

#ifndef ZUND_PROGRAM_PATH
#error "the test needs the path of the built program"
#endif

namespace
{
const std::string windowTitle = "ZUND V2.20";

class ProgramEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const int number = 200 + (int) (getpid() % 700);
        displayName = ":" + std::to_string (number);
        jackServerName = "zund-e2e"; // one fixed name: stale entries of killed servers are reused, not piled up
        logs = temp.file ("logs");
        logs.createDirectory();

        xserver = std::make_unique<test::SpawnedProcess> (
            std::vector<std::string> { "Xvfb", displayName, "-screen", "0", "1920x1200x24", "-nolisten", "tcp" },
            std::vector<std::string> {}, log ("xvfb.log"));
        ASSERT_TRUE (test::waitUntil ([&] { return test::X11Display (displayName).isOpen(); }, 20s))
            << "Xvfb did not start";

        jack = std::make_unique<test::SpawnedProcess> (
            std::vector<std::string> { "jackd", "--no-realtime", "-n", jackServerName, "-d", "dummy", "-r", "48000",
                                       "-p", "256", "-C", "4", "-P", "8" },
            std::vector<std::string> {}, log ("jackd.log"));
        ASSERT_TRUE (test::waitUntil ([&] { return jackPorts().find ("system:playback_1") != std::string::npos; },
                                      20s))
            << "jackd did not start";

        programFolder = temp.file ("program");
        programFolder.createDirectory();
        program = programFolder.getChildFile ("Zund");
        ASSERT_TRUE (juce::File (ZUND_PROGRAM_PATH).copyFileTo (program));
        program.setExecutePermission (true);
    }

    std::string log (const char* name) const { return logs.getChildFile (name).getFullPathName().toStdString(); }

    std::vector<std::string> environment() const
    {
        return { "DISPLAY=" + displayName, "JACK_DEFAULT_SERVER=" + jackServerName, "JACK_NO_AUDIO_RESERVATION=1",
                 "HOME=" + temp.get().getFullPathName().toStdString() };
    }

    std::string jackPorts() const
    {
        return test::runAndCapture ({ "jack_lsp" }, { "JACK_DEFAULT_SERVER=" + jackServerName });
    }

    // Where a program that should have ended is stuck: its threads' stacks, into the logs.
    void recordStacks (test::SpawnedProcess& process, const char* logName)
    {
        const auto stacks = test::runAndCapture ({ "gdb", "-p", std::to_string (process.getPid()), "-batch", "-ex",
                                                   "thread apply all bt 25" });
        logs.getChildFile (logName).replaceWithText (stacks);
    }

    // Closes the window as a window manager would. The request is repeated while
    // the window stays: on a bare X server nothing else stirs the connection, and
    // the framework can leave an event that Xlib already buffered unread.
    std::optional<int> closeAndWait (test::X11Display& x, test::SpawnedProcess& process)
    {
        for (int attempt = 0; attempt < 30; ++attempt)
        {
            if (auto window = x.findWindow (windowTitle))
                x.sendCloseRequest (window->id);
            if (auto code = process.waitForExit (2s))
                return code;
        }
        recordStacks (process, "stacks.log");
        return std::nullopt;
    }

    std::unique_ptr<test::SpawnedProcess> startProgram (const char* logName)
    {
        return std::make_unique<test::SpawnedProcess> (
            std::vector<std::string> { program.getFullPathName().toStdString() }, environment(), log (logName));
    }

    void dumpLogsOnFailure()
    {
        if (! HasFailure())
            return;
        for (const auto& f : logs.findChildFiles (juce::File::findFiles, false))
            std::cerr << "---- " << f.getFileName() << "\n" << f.loadFileAsString() << "\n";
    }

    void TearDown() override
    {
        dumpLogsOnFailure();
        jack.reset();
        xserver.reset();
    }

    test::TempFolder temp;
    juce::File logs, programFolder, program;
    std::string displayName, jackServerName;
    std::unique_ptr<test::SpawnedProcess> xserver, jack;
};
}

TEST_F (ProgramEndToEnd, StartsShowsItsWindowAndQuitsCleanly)
{
    test::X11Display x (displayName);
    auto zund = startProgram ("zund.log");

    std::optional<test::WindowInfo> window;
    std::set<unsigned long> nativeWindows; // every one made for the main window, shown or not
    ASSERT_TRUE (test::waitUntil (
        [&] {
            x.collectWindowIds (windowTitle, nativeWindows);
            return (window = x.findWindow (windowTitle)).has_value();
        },
        60s))
        << "no window titled " << windowTitle;
    EXPECT_EQ (nativeWindows.size(), 1u) << "the main window was created more than once";

    // A fresh start: 1022 x 730, centred on the 1920 x 1200 screen.
    EXPECT_EQ (window->width, 1022);
    EXPECT_EQ (window->height, 730);
    EXPECT_EQ (window->x, (1920 - 1022) / 2);
    EXPECT_EQ (window->y, (1200 - 730) / 2);

    // The audio device opened on the JACK server: the program's ports are there.
    EXPECT_TRUE (test::waitUntil ([&] { return jackPorts().find ("Zund:") != std::string::npos; }, 20s))
        << jackPorts();

    // A second instance quits at once and shows nothing.
    {
        auto second = startProgram ("second.log");
        const auto code = second->waitForExit (30s);
        ASSERT_TRUE (code.has_value()) << "the second instance kept running";
        EXPECT_EQ (*code, 0);
        EXPECT_EQ (x.countWindows (windowTitle), 1);
    }

    // Nothing plays, so closing the window quits without a question.
    const auto code = closeAndWait (x, *zund);
    ASSERT_TRUE (code.has_value()) << "the program did not quit; window still there: " << x.countWindows (windowTitle);
    EXPECT_EQ (*code, 0);

    const auto preferences = juce::XmlDocument::parse (programFolder.getChildFile ("preferences.xml"));
    ASSERT_NE (preferences, nullptr) << "no preferences.xml was written";
    EXPECT_TRUE (preferences->hasTagName ("Preferences"));
    EXPECT_EQ (preferences->getIntAttribute ("lastWidth"), 1022);
    EXPECT_EQ (preferences->getIntAttribute ("lastHeight"), 730);
    EXPECT_EQ (preferences->getIntAttribute ("MODULE_ACTIVE_7"), 1);
    const auto plugins = juce::XmlDocument::parse (programFolder.getChildFile ("pluginList.xml"));
    ASSERT_NE (plugins, nullptr) << "no pluginList.xml was written";
    EXPECT_TRUE (plugins->hasTagName ("KNOWNPLUGINS"));
}

TEST_F (ProgramEndToEnd, SavedBoundsAreRestoredWithinLimits)
{
    programFolder.getChildFile ("preferences.xml")
        .replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<Preferences lastX=\"100\" lastY=\"50\" lastWidth=\"1200\" lastHeight=\"5000\"/>\n");
    test::X11Display x (displayName);
    auto zund = startProgram ("zund.log");

    std::optional<test::WindowInfo> window;
    ASSERT_TRUE (test::waitUntil ([&] { return (window = x.findWindow (windowTitle)).has_value(); }, 60s));
    // Too tall for the 1200-pixel screen: as tall as the screen, moved up onto it.
    EXPECT_EQ (window->x, 100);
    EXPECT_EQ (window->width, 1200);
    EXPECT_EQ (window->height, 1200);
    EXPECT_EQ (window->y, 0);
    ASSERT_TRUE (closeAndWait (x, *zund).has_value()) << "the program did not quit";
}
