#include "app/harness/XServer.h"

#include "app/harness/X11Windows.h"

#include <sys/stat.h>
#include <unistd.h>

namespace zund::test
{
namespace
{
bool lockFileExists (int number)
{
    struct stat info;
    const auto lock = "/tmp/.X" + std::to_string (number) + "-lock";
    const auto socket = "/tmp/.X11-unix/X" + std::to_string (number);
    return stat (lock.c_str(), &info) == 0 || stat (socket.c_str(), &info) == 0;
}
}

XServer::XServer (int width, int height, const std::string& logFile)
{
    using namespace std::chrono_literals;
    const std::string screen = std::to_string (width) + "x" + std::to_string (height) + "x24";

    int number = 200 + (int) (getpid() % 700);
    for (int attempt = 0; attempt < 20; ++attempt, ++number)
    {
        if (lockFileExists (number))
            continue;

        const auto name = ":" + std::to_string (number);
        auto candidate = std::make_unique<SpawnedProcess> (
            std::vector<std::string> { "Xvfb", name, "-screen", "0", screen, "-nolisten", "tcp" },
            std::vector<std::string> {}, logFile);

        // Ours only while our process lives: a server that lost the number exits.
        const bool up = waitUntil ([&] { return ! candidate->isRunning() || X11Display (name).isOpen(); }, 20s)
                     && candidate->isRunning();
        if (up)
        {
            process = std::move (candidate);
            displayName = name;
            return;
        }
    }
}
}
