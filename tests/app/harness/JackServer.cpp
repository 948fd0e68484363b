#include "app/harness/JackServer.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace zund::test
{
namespace
{
using namespace std::chrono_literals;

enum class Answer { none, ours, other };

int countLinesStartingWith (const std::string& text, const std::string& prefix)
{
    std::istringstream lines (text);
    int count = 0;
    for (std::string line; std::getline (lines, line);)
        count += line.rfind (prefix, 0) == 0 ? 1 : 0;
    return count;
}

// Which server answers to the name: none, one with our port counts, or another.
// Asked in a child process: a wedged server (one whose test was killed) can
// block a client's handshake for good, and only a process can be given up on.
Answer probe (const std::string& name, const JackServerOptions& options, const std::string& scratchFile)
{
    std::remove (scratchFile.c_str());
    SpawnedProcess lsp ({ "jack_lsp" }, { "JACK_DEFAULT_SERVER=" + name, "JACK_NO_START_SERVER=1" }, scratchFile);
    const auto code = lsp.waitForExit (5s);
    if (! code.has_value())
        return Answer::other;
    if (*code != 0)
        return Answer::none;

    std::ifstream in (scratchFile);
    const std::string ports ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char>());
    const bool ours = countLinesStartingWith (ports, "system:capture_") == options.capturePorts
                   && countLinesStartingWith (ports, "system:playback_") == options.playbackPorts;
    return ours ? Answer::ours : Answer::other;
}
}

JackServer::JackServer (const JackServerOptions& serverOptions, const std::string& logFile)
    : options (serverOptions)
{
    const auto scratchFile = logFile + ".ports";

    for (int slot = 1; slot <= 4; ++slot)
    {
        const auto candidateName = "zund-e2e-" + std::to_string (slot);
        if (probe (candidateName, options, scratchFile) != Answer::none)
            continue;

        auto candidate = std::make_unique<SpawnedProcess> (
            std::vector<std::string> { "jackd", options.realtime ? "--realtime" : "--no-realtime", "-n", candidateName,
                                       "-d", "dummy", "-r", std::to_string (options.sampleRate), "-p",
                                       std::to_string (options.periodSize), "-C",
                                       std::to_string (options.capturePorts), "-P",
                                       std::to_string (options.playbackPorts) },
            std::vector<std::string> { "JACK_NO_AUDIO_RESERVATION=1" }, logFile);

        Answer answer = Answer::none;
        waitUntil ([&]
                   {
                       return ! candidate->isRunning()
                           || (answer = probe (candidateName, options, scratchFile)) != Answer::none;
                   },
                   20s);
        if (answer == Answer::ours && candidate->isRunning())
        {
            process = std::move (candidate);
            name = candidateName;
            return;
        }
    }
}

std::vector<std::string> JackServer::environment() const
{
    return { "JACK_DEFAULT_SERVER=" + name, "JACK_NO_START_SERVER=1", "JACK_NO_AUDIO_RESERVATION=1" };
}
}
