#include "app/harness/XServer.h"

#include "app/harness/X11Windows.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace zund::test
{
namespace
{
using namespace std::chrono_literals;

bool numberLooksTaken (int number)
{
    struct stat info;
    const auto lock = "/tmp/.X" + std::to_string (number) + "-lock";
    const auto socket = "/tmp/.X11-unix/X" + std::to_string (number);
    return stat (lock.c_str(), &info) == 0 || stat (socket.c_str(), &info) == 0;
}

// The line a server writes to its -displayfd: the number, then a newline.
// Empty when the pipe closes first (the server died) or the time runs out.
std::string readDisplayNumber (int fd, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    std::string text;
    for (;;)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds> (end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return {};
        struct pollfd waiting { fd, POLLIN, 0 };
        const int ready = poll (&waiting, 1, (int) left.count());
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return {};
        char c = 0;
        const auto n = ::read (fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {};
        if (c == '\n')
            return text;
        text += c;
    }
}
}

XServer::XServer (int width, int height, const std::string& logFile)
{
    std::mt19937 random { std::random_device {}() };
    for (int attempt = 0; attempt < 50 && process == nullptr; ++attempt)
    {
        const int number = std::uniform_int_distribution<int> (100, 999) (random);
        if (! numberLooksTaken (number))
            tryNumber (number, width, height, logFile);
    }
    if (process == nullptr)
        problem = "Xvfb did not start on any of 50 display numbers (see " + logFile + ")";
}

void XServer::tryNumber (int number, int width, int height, const std::string& logFile)
{
    int fds[2];
    if (pipe2 (fds, O_CLOEXEC) != 0)
        return;

    // A server that loses the number to another one exits, closing the pipe
    // unwritten. -noreset: by default the server resets when its last client
    // leaves, and a connection made meanwhile fails.
    const std::string screen = std::to_string (width) + "x" + std::to_string (height) + "x24";
    auto candidate = std::make_unique<SpawnedProcess> (
        std::vector<std::string> { "Xvfb", ":" + std::to_string (number), "-displayfd", std::to_string (fds[1]),
                                   "-screen", "0", screen, "-nolisten", "tcp", "-noreset" },
        std::vector<std::string> {}, logFile, fds[1]);
    ::close (fds[1]); // ours gone, only the server's end keeps the pipe open

    const auto reported = readDisplayNumber (fds[0], 60s);
    ::close (fds[0]);
    if (reported == std::to_string (number) && candidate->isRunning())
    {
        process = std::move (candidate);
        displayName = ":" + reported;
        // A bare server lacks the protocol atoms a window manager makes, and
        // the framework's windows fail on them: make them for every client.
        const X11Display atoms (displayName);
    }
}
}
