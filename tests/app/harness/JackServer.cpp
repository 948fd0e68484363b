#include "app/harness/JackServer.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

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

constexpr int poolSize = 8; // the registry's slot count

// The name's lock, held until the descriptor is closed (or the process ends);
// -1 when another test holds it.
int lockName (const std::string& name)
{
    const auto path = "/tmp/" + name + ".lock";
    const int fd = ::open (path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0 && flock (fd, LOCK_EX | LOCK_NB) == 0)
        return fd;
    if (fd >= 0)
        ::close (fd);
    return -1;
}
}

JackServer::JackServer (const JackServerOptions& serverOptions, const std::string& logFile)
    : options (serverOptions)
{
    // Other test runs may hold every name for a while.
    const bool started = waitUntil ([&]
                                    {
                                        for (int slot = 1; slot <= poolSize; ++slot)
                                            if (tryName ("zund-e2e-" + std::to_string (slot), logFile))
                                                return true;
                                        return false;
                                    },
                                    120s);
    if (! started)
        problem = "no JACK server named zund-e2e-1 to zund-e2e-" + std::to_string (poolSize)
                + " could be started within 120 s (every name in use, or see " + logFile + ")";
}

JackServer::~JackServer()
{
    process.reset(); // the name stays ours until its server is gone
    if (nameLock >= 0)
        ::close (nameLock);
}

bool JackServer::tryName (const std::string& candidateName, const std::string& logFile)
{
    const int lock = lockName (candidateName);
    if (lock < 0)
        return false;

    if (probe (candidateName, options, logFile + ".ports") == Answer::none)
    {
        if (auto started = startServer (candidateName, logFile))
        {
            process = std::move (started);
            name = candidateName;
            nameLock = lock;
            return true;
        }
    }
    ::close (lock);
    return false;
}

std::unique_ptr<SpawnedProcess> JackServer::startServer (const std::string& serverName, const std::string& logFile)
{
    const auto scratchFile = logFile + ".ports";
    auto candidate = std::make_unique<SpawnedProcess> (
        std::vector<std::string> { "jackd", options.realtime ? "--realtime" : "--no-realtime", "-n", serverName, "-d",
                                   "dummy", "-r", std::to_string (options.sampleRate), "-p",
                                   std::to_string (options.periodSize), "-C", std::to_string (options.capturePorts),
                                   "-P", std::to_string (options.playbackPorts) },
        std::vector<std::string> { "JACK_NO_AUDIO_RESERVATION=1" }, logFile);

    Answer answer = Answer::none;
    waitUntil ([&]
               {
                   return ! candidate->isRunning()
                       || (answer = probe (serverName, options, scratchFile)) != Answer::none;
               },
               20s);
    if (answer == Answer::ours && candidate->isRunning())
        return candidate;
    return nullptr;
}

bool JackServer::kill()
{
    if (process == nullptr)
        return false;
    ::kill (process->getPid(), SIGKILL);
    const bool gone = process->waitForExit (10s).has_value();
    process.reset();
    return gone;
}

bool JackServer::restart (const JackServerOptions& newOptions, const std::string& logFile)
{
    if (name.empty())
        return false;
    process.reset();
    options = newOptions;
    // A killed server's registry slot goes to the next server of its name.
    process = startServer (name, logFile);
    if (process == nullptr)
        problem = "jackd could not be started again as \"" + name + "\" (see " + logFile + ")";
    return process != nullptr;
}

std::vector<std::string> JackServer::environment() const
{
    return { "JACK_DEFAULT_SERVER=" + name, "JACK_NO_START_SERVER=1", "JACK_NO_AUDIO_RESERVATION=1" };
}

std::string uniqueClientName (const std::string& stem)
{
    static std::atomic<int> made { 0 };
    return stem + "-" + std::to_string (getpid()) + "-" + std::to_string (++made);
}
}
