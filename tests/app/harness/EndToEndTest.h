#pragma once

#include "app/harness/BrowserProbe.h"
#include "app/harness/JackServer.h"
#include "app/harness/JackTestClient.h"
#include "app/harness/LayoutProbe.h"
#include "app/harness/RoutingPreferences.h"
#include "app/harness/Screenshot.h"
#include "app/harness/SpawnedProcess.h"
#include "app/harness/X11Windows.h"
#include "app/harness/XServer.h"
#include "app/harness/XTestInput.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace zund::test
{
/** One whole user flow through the real program. Set-up starts a private
    X server (1920 x 1200) and a JACK server with the dummy backend, opens the
    test's own JACK client on it and prepares a program folder (a copy of the
    built program; the test adds "preferences.xml", "database.xml",
    "TreeView.xml" and tracks in the song folder before it starts the
    program). When a test fails, its logs, a screenshot of the screen, the
    stacks of a program that would not quit and any recordings it kept are
    copied into the test's output folder (printed with the failure).

        class MixerFlow : public test::EndToEndTest {};

        TEST_F (MixerFlow, DeckOneIsHeardOnTheMainPair)
        {
            writePreferences (test::RoutingSetup::everyPairInUse());
            startProgram();
            ASSERT_TRUE (waitForWindow());
            ASSERT_TRUE (waitForProgramPorts());
            connectDeck (0, 1);   // our pair 0 plays into deck input pair 1
            listenTo (1, 0);      // main pair into our inputs 0 and 1
            jack->source (0).playTimecode (0.0);
            ...
            EXPECT_EQ (closeProgram(), 0);
        }

    A derived fixture may change jackOptions and the client's port counts in
    its constructor. Tests run one at a time: the program allows one
    instance per machine.

    The environment variable ZUND_E2E_PROGRAM may name another build of the
    program to run (e.g. the release build, for its processor time). */
class EndToEndTest : public ::testing::Test
{
public:
    static const std::string windowTitle;

protected:
    void SetUp() override;
    void TearDown() override;

    // The servers and the test's client.
    /** Steady for every test: they judge what they hear, and other test runs
        may load the machine meanwhile. */
    JackServerOptions jackOptions = JackServerOptions::steady();
    int clientOutputPairs = 4; // one per deck
    int clientInputs = 4;      // two stereo pairs to record
    double clientRingSeconds = 20.0;

    // The program folder and the files a test keeps.
    juce::File getProgramFolder() const { return programFolder; }
    juce::File getSongFolder() const { return songFolder; }
    /** The program's own HOME (its ~/.asoundrc, say). */
    juce::File getHomeFolder() const { return home; }
    void writeProgramFile (const juce::String& name, const juce::String& text) const;
    /** Also tells the layout probe which sections the program will show. */
    void writePreferences (const juce::XmlElement& root);
    void writePreferences (const RoutingSetup& routing) { writePreferences (*makePreferences (routing)); }
    /** Kept in the test's output folder when the test fails. */
    juce::File getArtifactFolder() const { return artifacts; }
    std::string artifactPath (const std::string& name) const;
    void keepRecording (const Recording& recording, const std::string& name) const;

    // The program.
    /** Starts it (into `program`) once no other instance runs on this
        machine, and again when another one took the single-instance lock
        first: test runs of other checkouts share the lock. Fails the test
        (and starts nothing) when the lock stays held for instanceLockWait. */
    bool startProgram();
    std::chrono::milliseconds instanceLockWait = std::chrono::minutes (10);
    /** Starts one more, without any waiting: for the single-instance check. */
    std::unique_ptr<SpawnedProcess> startAnotherInstance (const std::string& logName);
    /** The program's main window once it is mapped (also kept in `window`);
        every native window made for it meanwhile, shown or not, goes into
        `mainWindowIds`. */
    std::optional<WindowInfo> waitForWindow (std::chrono::milliseconds timeout = std::chrono::seconds (60));
    /** Closes the window as a window manager would, repeating the request
        while it stays; the exit code, or nothing (stacks recorded) on a hang. */
    std::optional<int> closeProgram();
    /** Whether the program's JACK ports exist: one per port of the server's
        "system" client, as the JACK device registers them. */
    bool waitForProgramPorts (std::chrono::milliseconds timeout = std::chrono::seconds (30));
    /** Our output pair plays into the program's input pair of that routing index. */
    bool connectDeck (int clientPair, int routingIndex);
    /** The program's output pair of that routing index plays into our inputs
        firstClientInput and firstClientInput + 1. */
    bool listenTo (int routingIndex, int firstClientInput);
    /** Where a widget is; see LayoutProbe. Needs the window. */
    LayoutProbe layout() const;
    /** Where the browser's tree items and rows are; see BrowserProbe. Needs the window. */
    std::unique_ptr<BrowserProbe> browserProbe() const;
    /** Where the widget with this control id is in the window; fails the test
        (and gives an empty rectangle) when it is not there. */
    juce::Rectangle<int> control (int controlId) const;
    /** A left click on the middle of that widget. */
    void clickOn (int controlId);
    /** A left click in the middle of cell `cell` of a one-row grid of `cells` cells. */
    void clickCell (int gridId, int cell, int cells);
    /** A key typed into the main window (focused first, as no window manager does it). */
    void pressKey (const std::string& keysymName, int modifiers = XTestInput::noModifiers);
    /** A mapped top-level window other than the main window and those named
        (a dialog, a menu), once one shows. */
    std::optional<WindowInfo> waitForOtherWindow (const std::set<unsigned long>& besides = {},
                                                  std::chrono::milliseconds timeout = std::chrono::seconds (20));

    /** waitUntil, with the pointer moved a pixel to and fro near that
        window's top left corner while it waits. On a bare X server nothing
        else stirs the program's connection, and the framework can leave an
        event Xlib has already read (a key, an exposure) unhandled until the
        next one arrives, as a user's pointer would make it. */
    template <typename Condition>
    bool waitUntilStirring (unsigned long windowId, Condition&& condition, std::chrono::milliseconds timeout)
    {
        int nudge = 0;
        return test::waitUntil (
            [&] {
                input->moveTo (windowId, 2 + (nudge ^= 1), 2);
                return condition();
            },
            timeout);
    }

    /** The screen as it is now (also kept as "now.xwd"). */
    std::optional<XwdImage> screenNow() const;
    /** Light ink is text on a dark ground or a lit lamp, dark ink text on a light ground. */
    enum class Ink
    {
        light,
        dark
    };
    /** Whether that part of the window (the main window unless named) shows ink. */
    bool showsInk (const XwdImage& screen, juce::Rectangle<int> area, Ink ink = Ink::light,
                   std::optional<WindowInfo> in = std::nullopt) const;

    /** `seconds` of the program's output once `settled` holds for it (the
        program takes clicks and keys in its own time), or the last one after
        `tries` recordings. */
    Recording recordWhen (const std::function<bool (const Recording&)>& settled, double seconds = 0.5, int tries = 10);

    /** Closes the window while loaded channels play: the program asks
        "Really quit?" and the user answers "Yes" (the test fails when it does
        not ask). The exit code, or nothing when the program did not end. */
    std::optional<int> closePlayingProgram();

    std::unique_ptr<XServer> xServer;
    std::unique_ptr<JackServer> jackServer;
    std::unique_ptr<X11Display> x;
    std::unique_ptr<XTestInput> input;
    std::unique_ptr<JackTestClient> jack;
    std::unique_ptr<SpawnedProcess> program;
    std::optional<WindowInfo> window;
    std::set<unsigned long> mainWindowIds;
    /** The sections the layout probe shows (set by writePreferences). */
    LayoutProbe::Sections shownSections = LayoutProbe::freshStart();

private:
    std::vector<std::string> programEnvironment() const;
    void recordStacks (SpawnedProcess& process, const std::string& name);
    void keepArtifactsOfFailure();

    TempFolder temp;
    juce::File artifacts, programFolder, programFile, songFolder, home, outputFolder;
};
}
