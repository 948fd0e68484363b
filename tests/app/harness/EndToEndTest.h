#pragma once

#include "app/harness/JackServer.h"
#include "app/harness/JackTestClient.h"
#include "app/harness/LayoutProbe.h"
#include "app/harness/RoutingPreferences.h"
#include "app/harness/SpawnedProcess.h"
#include "app/harness/X11Windows.h"
#include "app/harness/XServer.h"
#include "app/harness/XTestInput.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
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
    instance per machine. */
class EndToEndTest : public ::testing::Test
{
public:
    static const std::string windowTitle;

protected:
    void SetUp() override;
    void TearDown() override;

    // The servers and the test's client.
    JackServerOptions jackOptions;
    int clientOutputPairs = 4; // one per deck
    int clientInputs = 4;      // two stereo pairs to record
    double clientRingSeconds = 20.0;

    // The program folder and the files a test keeps.
    juce::File getProgramFolder() const { return programFolder; }
    juce::File getSongFolder() const { return songFolder; }
    void writeProgramFile (const juce::String& name, const juce::String& text) const;
    void writePreferences (const juce::XmlElement& root) const;
    void writePreferences (const RoutingSetup& routing) const { writePreferences (*makePreferences (routing)); }
    /** Kept in the test's output folder when the test fails. */
    juce::File getArtifactFolder() const { return artifacts; }
    std::string artifactPath (const std::string& name) const;
    void keepRecording (const Recording& recording, const std::string& name) const;

    // The program.
    /** Starts it (into `program`) once no other instance runs on this
        machine, and again when another one took the single-instance lock
        first: test runs of other checkouts share the lock. */
    SpawnedProcess& startProgram();
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

    std::unique_ptr<XServer> xServer;
    std::unique_ptr<JackServer> jackServer;
    std::unique_ptr<X11Display> x;
    std::unique_ptr<XTestInput> input;
    std::unique_ptr<JackTestClient> jack;
    std::unique_ptr<SpawnedProcess> program;
    std::optional<WindowInfo> window;
    std::set<unsigned long> mainWindowIds;

private:
    std::vector<std::string> programEnvironment() const;
    void recordStacks (SpawnedProcess& process, const std::string& name);
    void keepArtifactsOfFailure();

    TempFolder temp;
    juce::File artifacts, programFolder, programFile, songFolder, home, outputFolder;
};
}
