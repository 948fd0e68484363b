#pragma once

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
}
