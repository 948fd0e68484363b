// scratch, not committed
#include "app/flows/SongFlow.h"
#include <iostream>
#include <thread>
#include <cstdlib>
using namespace zund;
using namespace std::chrono_literals;
namespace {
constexpr double tones[] = { 300.0, 440.0, 650.0, 970.0 };
class Scratch : public test::SongFlow {};
}
TEST_F (Scratch, Idle)
{
    writePreferences (test::RoutingSetup::everyPairInUse());
    startProgram();
    ASSERT_TRUE (waitForWindow());
    std::cout << "PID " << program->getPid() << std::endl;
    std::this_thread::sleep_for (std::chrono::seconds (std::atoi (std::getenv ("SCRATCH_SECONDS"))));
    closeProgram();
}
TEST_F (Scratch, Playing)
{
    std::vector<juce::File> songs;
    for (int c = 0; c < 4; ++c)
        songs.push_back (writeToneTrack ("song-" + juce::String (c + 1) + ".wav", 90.0, tones[c], 0.1f));
    writeLibrary (songs);
    writeMixerPreferences (4, { 0, 0, 1920, 1080 });
    startProgram();
    ASSERT_TRUE (waitForWindow());
    ASSERT_TRUE (waitForProgramPorts());
    for (int deck = 0; deck < 4; ++deck)
        ASSERT_TRUE (connectDeck (deck, deck + 1));
    ASSERT_TRUE (listenTo (1, 0));
    for (int deck = 0; deck < 4; ++deck)
        jack->source (deck).playTimecode (0.0);
    for (int c = 0; c < 4; ++c)
    {
        loadSong (songs[(size_t) c], c);
        recordUntilHeard (tones[c], 0.02);
    }
    std::cout << "PID " << program->getPid() << std::endl;
    std::this_thread::sleep_for (std::chrono::seconds (std::atoi (std::getenv ("SCRATCH_SECONDS"))));
    const auto t0 = std::chrono::steady_clock::now();
    closePlayingProgram();
    std::cout << "close " << std::chrono::duration<double> (std::chrono::steady_clock::now() - t0).count() << std::endl;
}
