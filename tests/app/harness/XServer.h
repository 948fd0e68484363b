#pragma once

#include "app/harness/SpawnedProcess.h"

#include <memory>
#include <string>

namespace zund::test
{
/** A private Xvfb server on a display number no one else uses, stopped with
    this object. Test runs of other checkouts may start theirs at the same
    time: a number whose lock file exists is skipped, and a server that dies
    at start (it lost the race for its number) is replaced by one on the next. */
class XServer
{
public:
    XServer (int width, int height, const std::string& logFile);

    bool isRunning() const noexcept { return process != nullptr; }
    /** ":<number>", for DISPLAY. */
    const std::string& getDisplayName() const noexcept { return displayName; }

private:
    std::unique_ptr<SpawnedProcess> process;
    std::string displayName;
};
}
