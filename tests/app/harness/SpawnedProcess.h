#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zund::test
{
/** A child process started with an environment of our choosing. The destructor
    stops it (SIGTERM, then SIGKILL) so a failing test leaves nothing behind. */
class SpawnedProcess
{
public:
    /** argv[0] is looked up on PATH; extraEnvironment entries are "NAME=value".
        Output goes to logFile (or /dev/null). The descriptor passedFd, if
        given, stays open in the child under its number (e.g. for a server's
        "-displayfd"). */
    SpawnedProcess (const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment = {},
                    const std::string& logFile = {}, int passedFd = -1);
    ~SpawnedProcess();

    bool started() const noexcept { return pid > 0; }
    int getPid() const noexcept { return pid; }
    bool isRunning();

    /** The exit code once it has ended within the timeout; nothing otherwise.
        A death by signal gives 128 + signal. */
    std::optional<int> waitForExit (std::chrono::milliseconds timeout);

    /** The processor time it has used so far (user and system, all threads);
        nothing once it has ended. */
    std::optional<double> getCpuSeconds() const;

    /** SIGTERM, a grace period, then SIGKILL. */
    void stop (std::chrono::milliseconds grace = std::chrono::milliseconds (3000));

private:
    int pid = -1;
    std::optional<int> exitCode;
};

/** Runs a command to its end and returns its standard output. */
std::string runAndCapture (const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment = {});

/** Polls `condition` every 50 ms until it holds or the timeout passes. */
template <typename Condition>
bool waitUntil (Condition&& condition, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;)
    {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        struct timespec t { 0, 50 * 1000 * 1000 };
        nanosleep (&t, nullptr);
    }
}
}
