#include "app/harness/SpawnedProcess.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <cstring>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace zund::test
{
extern "C" char** environ;

namespace
{
// Everything the child needs is built before fork: after fork only
// async-signal-safe calls are allowed (the test process has threads).
struct ExecPlan
{
    std::vector<std::string> argStorage, envStorage;
    std::vector<char*> args, env;

    ExecPlan (const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment)
        : argStorage (argv)
    {
        for (char** e = environ; *e != nullptr; ++e)
        {
            const std::string entry (*e);
            const auto name = entry.substr (0, entry.find ('=') + 1);
            bool overridden = false;
            for (const auto& extra : extraEnvironment)
                overridden = overridden || extra.rfind (name, 0) == 0;
            if (! overridden)
                envStorage.push_back (entry);
        }
        envStorage.insert (envStorage.end(), extraEnvironment.begin(), extraEnvironment.end());
        for (auto& a : argStorage)
            args.push_back (a.data());
        args.push_back (nullptr);
        for (auto& e : envStorage)
            env.push_back (e.data());
        env.push_back (nullptr);
    }
};

[[noreturn]] void execChild (const ExecPlan& plan, int outFd, pid_t parent, int passedFd = -1)
{
    // Ends with the test: a test killed by a time-out or a signal must not
    // leave servers behind (the JACK server registry has few slots).
    prctl (PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        _exit (127);
    if (outFd >= 0)
    {
        dup2 (outFd, 1);
        dup2 (outFd, 2);
    }
    if (passedFd >= 0)
        fcntl (passedFd, F_SETFD, 0);
    setpgid (0, 0); // its own group, so stopping it reaches its children too
    execvpe (plan.args[0], plan.args.data(), plan.env.data());
    _exit (127);
}

int decodeStatus (int status)
{
    if (WIFEXITED (status))
        return WEXITSTATUS (status);
    if (WIFSIGNALED (status))
        return 128 + WTERMSIG (status);
    return -1;
}
}

std::optional<double> SpawnedProcess::getCpuSeconds() const
{
    if (pid <= 0 || exitCode.has_value())
        return std::nullopt;
    // /proc/<pid>/stat: fields 14 and 15 (utime, stime) in clock ticks, after
    // the command name in parentheses, which may hold spaces.
    FILE* stat = std::fopen (("/proc/" + std::to_string (pid) + "/stat").c_str(), "r");
    if (stat == nullptr)
        return std::nullopt;
    char line[2048] = {};
    const bool read = std::fgets (line, sizeof line, stat) != nullptr;
    std::fclose (stat);
    const char* afterName = read ? std::strrchr (line, ')') : nullptr;
    unsigned long user = 0, system = 0;
    if (afterName == nullptr
        || std::sscanf (afterName + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system) != 2)
        return std::nullopt;
    return (double) (user + system) / (double) sysconf (_SC_CLK_TCK);
}

SpawnedProcess::SpawnedProcess (const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment,
                                const std::string& logFile, int passedFd)
{
    const ExecPlan plan (argv, extraEnvironment);
    // Close-on-exec: a child forked meanwhile by another thread must not keep it.
    const int outFd = ::open (logFile.empty() ? "/dev/null" : logFile.c_str(),
                              O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const pid_t parent = getpid();
    pid = fork();
    if (pid == 0)
        execChild (plan, outFd, parent, passedFd);
    if (outFd >= 0)
        ::close (outFd);
}

SpawnedProcess::~SpawnedProcess()
{
    stop();
}

bool SpawnedProcess::isRunning()
{
    return ! waitForExit (std::chrono::milliseconds (0)).has_value();
}

std::optional<int> SpawnedProcess::waitForExit (std::chrono::milliseconds timeout)
{
    if (exitCode || pid <= 0)
        return exitCode;
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;)
    {
        int status = 0;
        const int r = waitpid (pid, &status, WNOHANG);
        if (r == pid)
        {
            exitCode = decodeStatus (status);
            return exitCode;
        }
        if (r < 0)
        {
            exitCode = -1;
            return exitCode;
        }
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        struct timespec t { 0, 20 * 1000 * 1000 };
        nanosleep (&t, nullptr);
    }
}

void SpawnedProcess::stop (std::chrono::milliseconds grace)
{
    if (pid <= 0 || exitCode)
        return;
    ::kill (-pid, SIGTERM);
    if (! waitForExit (grace))
    {
        ::kill (-pid, SIGKILL);
        waitForExit (std::chrono::milliseconds (5000));
    }
}

std::string runAndCapture (const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment)
{
    const ExecPlan plan (argv, extraEnvironment);
    int fds[2];
    if (pipe2 (fds, O_CLOEXEC) != 0)
        return {};
    const pid_t parent = getpid();
    const int pid = fork();
    if (pid == 0)
    {
        ::close (fds[0]);
        execChild (plan, fds[1], parent);
    }
    ::close (fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read (fds[0], buffer, sizeof buffer)) > 0;)
        out.append (buffer, (size_t) n);
    ::close (fds[0]);
    int status = 0;
    waitpid (pid, &status, 0);
    return out;
}
}
