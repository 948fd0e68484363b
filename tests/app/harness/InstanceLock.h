#pragma once

#include <juce_core/juce_core.h>

#include <chrono>
#include <optional>
#include <string>

namespace zund::test
{
/** The process that holds the program's single-instance lock, if any.

    The framework's lock is a file lock in /var/tmp, shared by the whole
    machine: a program started while another checkout's test runs one quits
    at once as a second instance. The harness waits for the lock to be free
    and checks that its program took it. */
std::optional<int> programInstanceHolder();

/** The file of that lock. */
std::string programInstanceLockFile();

/** Takes that lock for this test process while it lives, as the program
    would, for a test that runs the program's audio code in this process: its
    JACK clients then have the program's names, which no other process on the
    machine may use at the same time (JACK's client sockets are named after
    the client alone, whatever its server). Not across calls of
    programInstanceHolder() in this process: they end it. */
class ProgramInstanceHold
{
public:
    explicit ProgramInstanceHold (std::chrono::milliseconds timeout);

    bool isHeld() const noexcept { return held; }

private:
    juce::InterProcessLock lock { "juceAppLock_Zund" };
    bool held = false;
};
}
