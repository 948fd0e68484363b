#pragma once

#include "app/harness/SpawnedProcess.h"

#include <memory>
#include <string>

namespace zund::test
{
/** A private Xvfb server, stopped with this object. It is tried on random
    display numbers until one reports through "-displayfd" that it accepts
    connections: only a server that owns its number does, so test runs
    started at the same time never share one. The numbers stay clear of the
    low ones, which X programs without a DISPLAY (the framework inside every
    test program) connect to by default. It holds the atoms a window manager
    would make (see X11Display), so any client can open windows on it. */
class XServer
{
public:
    XServer (int width, int height, const std::string& logFile);

    bool isRunning() const noexcept { return process != nullptr; }
    /** The server's process, for its processor time; -1 when it is not running. */
    int getPid() const noexcept { return process != nullptr ? process->getPid() : -1; }
    /** ":<number>", for DISPLAY. */
    const std::string& getDisplayName() const noexcept { return displayName; }
    /** Why it is not running, for the test's failure message. */
    const std::string& getProblem() const noexcept { return problem; }

private:
    void tryNumber (int number, int width, int height, const std::string& logFile);

    std::unique_ptr<SpawnedProcess> process;
    std::string displayName, problem;
};
}
