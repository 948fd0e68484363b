// Four channels playing songs under the timecode of their decks: a plug-in
// loaded meanwhile leaves the main output whole, and what the program costs
// in processor time, idle and playing (also at the short periods a DJ plays
// timecode at), and in time to start and to close.

#include "app/flows/SongFlow.h"
#include "app/harness/ThreadTimes.h"
#include "support/PluginFixtures.h"
#include "support/SignalMeasures.h"
#include "support/SignalScan.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
constexpr double tones[] = { 300.0, 440.0, 650.0, 970.0 };
constexpr float trackAmplitude = 0.1f;

// Seconds since the machine started, on the clock that /proc counts process starts on.
double secondsSinceBoot()
{
    std::ifstream uptime ("/proc/uptime");
    double seconds = -1.0;
    uptime >> seconds;
    return seconds;
}

// When the process started, on the same clock (10 ms steps).
double startOfProcess (int pid)
{
    std::ifstream stat ("/proc/" + std::to_string (pid) + "/stat");
    std::string line;
    std::getline (stat, line);
    const auto afterName = line.rfind (')');
    if (afterName == std::string::npos)
        return -1.0;
    std::istringstream fields (line.substr (afterName + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) // field 22: start time in clock ticks
        ;
    return std::stod (field) / (double) sysconf (_SC_CLK_TCK);
}

class FourChannelFlow : public test::SongFlow
{
protected:
    FourChannelFlow() { clientRingSeconds = 30.0; }

    /** Four songs on four channels, one tone each; the program started with
        four strips, the decks routed and the main pair recorded. */
    void startWithFourSongs (juce::Rectangle<int> bounds = { 10, 10, 1900, 1150 })
    {
        for (int c = 0; c < 4; ++c)
            songs.push_back (writeToneTrack ("song-" + juce::String (c + 1) + ".wav", 90.0, tones[c], trackAmplitude));
        writeLibrary (songs);
        writeMixerPreferences (4, bounds);

        startProgram();
        ASSERT_TRUE (waitForWindow());
        ASSERT_TRUE (waitForProgramPorts());
        for (int deck = 0; deck < 4; ++deck)
            ASSERT_TRUE (connectDeck (deck, deck + 1));
        ASSERT_TRUE (listenTo (1, 0));
    }

    void playFourSongs()
    {
        for (int deck = 0; deck < 4; ++deck)
            jack->source (deck).playTimecode (0.0);
        for (int c = 0; c < 4; ++c)
        {
            loadSong (songs[(size_t) c], c);
            recordUntilHeard (tones[c], 0.02);
        }
    }

    /** Each song's tone on the main pair's left side. */
    std::vector<double> toneLevels (const test::Recording& heard) const
    {
        std::vector<double> levels;
        for (double tone : tones)
            levels.push_back (onMain (heard, tone));
        return levels;
    }

    std::vector<juce::File> songs;
};

/** The periods a DJ plays timecode at: 256 frames at 48 kHz, realtime. */
class FourChannelFlowAtShortPeriods : public FourChannelFlow
{
protected:
    FourChannelFlowAtShortPeriods() { jackOptions.periodSize = 256; }

    /** Where `span` of processor time went, as shares of one core: the
        program by thread, and the JACK and X servers outside it. */
    std::string measureShares (std::chrono::seconds span)
    {
        std::this_thread::sleep_for (2s); // what a start or a load sets going
        const int pids[] = { program->getPid(), jackServer->getPid(), xServer->getPid() };
        std::vector<test::ThreadTimes> before;
        for (int pid : pids)
            before.push_back (test::ThreadTimes::of (pid));
        std::this_thread::sleep_for (span);
        std::vector<test::ThreadTimes> after;
        for (int pid : pids)
            after.push_back (test::ThreadTimes::of (pid));

        const double seconds = (double) span.count();
        auto shareOf = [&] (size_t i) { return (after[i].total() - before[i].total()) / seconds; };
        std::ostringstream text;
        text << "the program " << shareOf (0) << " (by thread: "
             << test::ThreadTimes::describe (after[0].usedSince (before[0]), seconds) << "); outside it, the JACK server "
             << shareOf (1) << ", the X server " << shareOf (2);
        return text.str();
    }
};
}

// The plug-in slot's chooser, used while four songs play: Down, Down, Return
// picks the ring modulator after "[ NO PLUGIN ]". With FX off the plug-in
// runs but is not heard, so the main pair must go on exactly as before.
TEST_F (FourChannelFlow, LoadingAPlugInWhileFourChannelsPlayLeavesNoGap)
{
    const auto ringModulator = test::describeLv2Plugin (test::stereoLv2Effect);
    ASSERT_TRUE (ringModulator.has_value()) << "mda-lv2 is not installed";
    juce::KnownPluginList known;
    known.addType (*ringModulator);
    writeProgramFile ("pluginList.xml", known.createXml()->toString());

    startWithFourSongs();
    playFourSongs();
    const auto before = jack->record (1.0);
    const auto levels = toneLevels (before);
    for (size_t c = 0; c < levels.size(); ++c)
        ASSERT_GT (levels[c], 0.02) << "channel " << c + 1 << " is not heard";

    jack->startRecording();
    std::this_thread::sleep_for (1s);
    const auto slot = layout().findView (test::LayoutProbe::View::pluginSlotButton, 0);
    ASSERT_TRUE (slot.has_value());
    input->click (window->id, slot->getCentreX(), slot->getCentreY());
    const auto menu = waitForOtherWindow();
    ASSERT_TRUE (menu.has_value()) << "no plug-in menu";
    for (const auto* key : { "Down", "Down", "Return" })
        pressKey (key);
    const auto pluginWindow = waitForOtherWindow ({ menu->id });
    std::this_thread::sleep_for (2s);
    const auto heard = jack->stopRecording();
    keepRecording (heard, "load.wav");
    ASSERT_TRUE (pluginWindow.has_value()) << "no plug-in window came";

    // A block the program did not fill in time plays as zeros; a skipped or
    // repeated stretch of a song as a step no sum of these sines can make.
    ASSERT_EQ (heard.droppedFrames, 0) << "the test itself lost audio";
    float largestStep = 0.0f;
    for (size_t c = 0; c < levels.size(); ++c)
        largestStep += test::largestSineStep (tones[c], (float) levels[c], heard.sampleRate);
    for (int side = 0; side < 2; ++side)
    {
        const auto* samples = heard.getChannel (side);
        const auto gaps = test::findZeroRuns (samples, heard.getNumFrames(), 8);
        EXPECT_TRUE (gaps.empty()) << gaps.size() << " gaps, the first at frame " << gaps.front().start;
        const auto jumps = test::findJumps (samples, heard.getNumFrames(), 1.2f * largestStep);
        EXPECT_TRUE (jumps.empty()) << jumps.size() << " jumps, the first at frame " << jumps.front();

        // What was heard, for the record: the longest run of zeros and the
        // largest step against the largest the four sines can make.
        int longestZeros = 0;
        for (const auto& run : test::findZeroRuns (samples, heard.getNumFrames(), 1))
            longestZeros = std::max (longestZeros, run.length);
        float step = 0.0f;
        for (int i = 1; i < heard.getNumFrames(); ++i)
            step = std::max (step, std::abs (samples[i] - samples[i - 1]));
        std::cout << "[ figures  ] side " << side << ": " << heard.getNumFrames() / heard.sampleRate
                  << " s recorded around the load, longest run of zeros " << longestZeros
                  << " samples, largest step " << step << " (the sines allow " << largestStep << ")" << std::endl;
    }
    EXPECT_EQ (closePlayingProgram(), 0);

    const auto slots = juce::XmlDocument::parse (getProgramFolder().getChildFile ("lastPlugins.xml"));
    ASSERT_NE (slots, nullptr);
    const auto* plugin = slots->getChildElement (0) != nullptr ? slots->getChildElement (0)->getChildElement (0) : nullptr;
    ASSERT_NE (plugin, nullptr) << "slot 1 kept no plug-in";
    EXPECT_EQ (plugin->getStringAttribute ("file"), test::stereoLv2Effect);
}

// Figures, not goals checked here: the processor time of the whole program
// (user and system time of all its threads, from /proc, not wall time) as a
// share of one core, idle as a fresh start shows it (strips 1 and 2, nothing
// loaded, no signal on the decks, over 20 s), idle with four strips at
// 1920 x 1080 (over 20 s) and with four songs playing under timecode (over
// 30 s); the time from the process start to its window on the screen; the
// time from "Yes" in "Really quit?" to the end of the process, four songs
// playing. ZUND_E2E_PROGRAM may name the release build.
TEST_F (FourChannelFlow, ProcessorTimeIdleAndWithFourChannelsPlaying)
{
    auto shareOfOneCore = [this] (std::chrono::seconds span) {
        std::this_thread::sleep_for (2s); // what a start or a load sets going
        const auto start = program->getCpuSeconds();
        std::this_thread::sleep_for (span);
        const auto end = program->getCpuSeconds();
        return start && end ? (*end - *start) / (double) span.count() : -1.0;
    };

    writePreferences (test::RoutingSetup::everyPairInUse());
    startProgram();
    const double started = startOfProcess (program->getPid());
    while (! x->findWindow (windowTitle) && program->isRunning() && secondsSinceBoot() - started < 60.0)
        std::this_thread::sleep_for (2ms);
    const double toWindow = secondsSinceBoot() - started;
    ASSERT_TRUE (waitForWindow());
    const double idleTwoStrips = shareOfOneCore (20s);
    ASSERT_EQ (closeProgram(), 0);

    startWithFourSongs ({ 0, 0, 1920, 1080 });
    const double idleFourStrips = shareOfOneCore (20s);
    playFourSongs();
    const double playing = shareOfOneCore (30s);

    const auto heard = jack->record (1.0);
    for (double level : toneLevels (heard))
        EXPECT_GT (level, 0.02) << "a channel stopped while it was measured";

    // "Yes" to the end of the process (polled every 20 ms).
    x->sendCloseRequest (window->id);
    std::optional<test::WindowInfo> question;
    ASSERT_TRUE (test::waitUntil ([&] { return (question = x->findWindow ("Really quit?")).has_value(); }, 20s));
    input->focus (question->id);
    const auto yes = std::chrono::steady_clock::now();
    input->pressKey ("Return");
    const auto code = program->waitForExit (60s);
    const double toExit = std::chrono::duration<double> (std::chrono::steady_clock::now() - yes).count();
    EXPECT_EQ (code, 0);

    std::cout << "[ figures  ] processor time as a share of one core: idle with two strips " << idleTwoStrips
              << ", idle with four strips " << idleFourStrips << ", four channels playing " << playing << std::endl;
    std::cout << "[ figures  ] start to window shown " << toWindow << " s; \"Yes\" to process end with four songs playing "
              << toExit << " s" << std::endl;
    RecordProperty ("idleTwoStrips", juce::String (idleTwoStrips, 4).toStdString());
    RecordProperty ("idleFourStrips", juce::String (idleFourStrips, 4).toStdString());
    RecordProperty ("fourChannelsPlaying", juce::String (playing, 4).toStdString());
    RecordProperty ("startToWindowSeconds", juce::String (toWindow, 3).toStdString());
    RecordProperty ("yesToExitSeconds", juce::String (toExit, 3).toStdString());
}

// Figures, not goals checked here: processor time as a share of one core at
// 256-frame periods, the program's split by thread and the servers beside
// it. Idle: a fresh start's two strips and four strips, nothing loaded, the
// decks routed but silent, the window at 1900 x 1000, over 10 s. Playing:
// four songs on four channels, each under the timecode of its own deck, the
// browser showing, at 1920 x 1080, over 20 s. ZUND_E2E_PROGRAM may name the
// release build.
TEST_F (FourChannelFlowAtShortPeriods, ProcessorTimeIdleAndWithFourDecksOnTimecode)
{
    std::vector<std::string> figures;
    for (const int strips : { 2, 4 })
    {
        writeMixerPreferences (strips, { 10, 10, 1900, 1000 });
        startProgram();
        ASSERT_TRUE (waitForWindow());
        ASSERT_TRUE (waitForProgramPorts());
        figures.push_back ("idle with " + std::to_string (strips) + " strips: " + measureShares (10s));
        ASSERT_EQ (closeProgram(), 0);
    }

    startWithFourSongs ({ 0, 0, 1920, 1080 });
    playFourSongs();
    figures.push_back ("four decks on timecode: " + measureShares (20s));

    const auto heard = jack->record (1.0);
    for (double level : toneLevels (heard))
        EXPECT_GT (level, 0.02) << "a channel stopped while it was measured";
    EXPECT_EQ (closePlayingProgram(), 0);

    for (const auto& figure : figures)
        std::cout << "[ figures  ] at " << jackOptions.periodSize << "-frame periods, " << figure << std::endl;
}
