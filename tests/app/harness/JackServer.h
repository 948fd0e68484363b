#pragma once

#include "app/harness/SpawnedProcess.h"

#include <memory>
#include <string>

namespace zund::test
{
struct JackServerOptions
{
    int capturePorts = 8;   // four deck input pairs
    int playbackPorts = 12; // main, phones and four channel output pairs
    int sampleRate = 48000;
    int periodSize = 256;
    /** Realtime scheduling for the server and its clients' audio threads. */
    bool realtime = false;

    /** For flows that judge what they hear: a busy machine, and the
        sanitizers' slower code, must not put gaps of their own into it. So
        the audio threads run at realtime priority, with long periods. */
    static JackServerOptions steady()
    {
        JackServerOptions options;
        options.realtime = true;
        options.periodSize = 2048;
        return options;
    }
};

/** A JACK server with the dummy backend (no sound card), stopped with this
    object. Its "system" client has the capture and playback ports asked for;
    the dummy capture ports carry silence.

    The server's name comes from a small pool, each name held through a file
    lock for this object's whole life, so test runs on one machine never
    share a server; a name that answers anyway (a server no test owns) is
    skipped. The pool stays small because the machine-wide server registry
    has few slots, and the slot of a killed server is only reclaimed by a
    server of the same name. */
class JackServer
{
public:
    JackServer (const JackServerOptions& options, const std::string& logFile);
    ~JackServer();

    bool isRunning() const noexcept { return process != nullptr; }
    /** The server's process, for its processor time; -1 when it is not running. */
    int getPid() const noexcept { return process != nullptr ? process->getPid() : -1; }
    const std::string& getName() const noexcept { return name; }
    const JackServerOptions& getOptions() const noexcept { return options; }
    /** Why it is not running, for the test's failure message. */
    const std::string& getProblem() const noexcept { return problem; }

    /** "NAME=value" entries that point a JACK program at this server. */
    std::vector<std::string> environment() const;

    /** The server dies at once (SIGKILL), as a crashed one would; its name
        stays this object's. True once the process has gone. */
    bool kill();
    /** A new server under the same name, with these options (a rate of its
        own, say); true once it answers with its ports. */
    bool restart (const JackServerOptions& newOptions, const std::string& logFile);

private:
    bool tryName (const std::string& candidateName, const std::string& logFile);
    /** jackd under that name, once it answers as ours; null when it does not. */
    std::unique_ptr<SpawnedProcess> startServer (const std::string& serverName, const std::string& logFile);

    JackServerOptions options;
    std::unique_ptr<SpawnedProcess> process;
    std::string name, problem;
    int nameLock = -1;
};

/** "<stem>-<process>-<count>": a JACK client name no other process on the
    machine uses. libjack makes a client's socket in one folder for every
    server, named after the client alone, and a client of that name closing
    elsewhere (another test run's) removes it, so a join made meanwhile fails. */
std::string uniqueClientName (const std::string& stem);
}
