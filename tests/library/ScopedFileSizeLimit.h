#pragma once

#include <csignal>
#include <sys/resource.h>

namespace zund::test
{
/** Keeps this process from writing files beyond a size while it lives: the way to
    make a write fail when tests run as root, who ignores permissions. */
struct ScopedFileSizeLimit
{
    explicit ScopedFileSizeLimit (rlim_t bytes)
    {
        std::signal (SIGXFSZ, SIG_IGN);
        getrlimit (RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        setrlimit (RLIMIT_FSIZE, &limit);
    }

    ~ScopedFileSizeLimit() { setrlimit (RLIMIT_FSIZE, &saved); }

    rlimit saved {};
};
}
