#include "app/harness/InstanceLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace zund::test
{
std::string programInstanceLockFile()
{
    struct stat info;
    const std::string folder = stat ("/var/tmp", &info) == 0 && S_ISDIR (info.st_mode) ? "/var/tmp" : "/tmp";
    return folder + "/juceAppLock_Zund";
}

std::optional<int> programInstanceHolder()
{
    const int handle = ::open (programInstanceLockFile().c_str(), O_RDWR | O_CLOEXEC);
    if (handle < 0)
        return std::nullopt; // no program ever ran here

    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    const bool held = fcntl (handle, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close (handle);
    return held ? std::optional<int> (lock.l_pid) : std::nullopt;
}

ProgramInstanceHold::ProgramInstanceHold (std::chrono::milliseconds timeout)
    : held (lock.enter ((int) timeout.count()))
{
}
}
