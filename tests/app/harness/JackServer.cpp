#include "app/harness/JackServer.h"

#include <jack/jack.h>

namespace zund::test
{
namespace
{
void dropMessage (const char*) {}

int countPorts (jack_client_t* client, const char* pattern)
{
    int count = 0;
    if (const char** ports = jack_get_ports (client, pattern, JACK_DEFAULT_AUDIO_TYPE, 0))
    {
        while (ports[count] != nullptr)
            ++count;
        jack_free (ports);
    }
    return count;
}

enum class Answer { none, ours, other };

// Which server answers to the name: none, one with our port counts, or another.
Answer probe (const std::string& name, const JackServerOptions& options)
{
    jack_status_t status {};
    auto* client = jack_client_open ("zund-probe", (jack_options_t) (JackNoStartServer | JackServerName), &status,
                                     name.c_str());
    if (client == nullptr)
        return Answer::none;
    const bool ours = countPorts (client, "^system:capture_") == options.capturePorts
                   && countPorts (client, "^system:playback_") == options.playbackPorts
                   && (int) jack_get_sample_rate (client) == options.sampleRate;
    jack_client_close (client);
    return ours ? Answer::ours : Answer::other;
}
}

void silenceJackMessages()
{
    jack_set_error_function (dropMessage);
    jack_set_info_function (dropMessage);
}

JackServer::JackServer (const JackServerOptions& serverOptions, const std::string& logFile)
    : options (serverOptions)
{
    using namespace std::chrono_literals;
    silenceJackMessages();

    for (int slot = 1; slot <= 4; ++slot)
    {
        const auto candidateName = "zund-e2e-" + std::to_string (slot);
        if (probe (candidateName, options) != Answer::none)
            continue;

        auto candidate = std::make_unique<SpawnedProcess> (
            std::vector<std::string> { "jackd", "--no-realtime", "-n", candidateName, "-d", "dummy", "-r",
                                       std::to_string (options.sampleRate), "-p", std::to_string (options.periodSize),
                                       "-C", std::to_string (options.capturePorts), "-P",
                                       std::to_string (options.playbackPorts) },
            std::vector<std::string> { "JACK_NO_AUDIO_RESERVATION=1" }, logFile);

        Answer answer = Answer::none;
        waitUntil ([&] { return ! candidate->isRunning() || (answer = probe (candidateName, options)) != Answer::none; },
                   20s);
        if (answer == Answer::ours && candidate->isRunning())
        {
            process = std::move (candidate);
            name = candidateName;
            return;
        }
    }
}

std::vector<std::string> JackServer::environment() const
{
    return { "JACK_DEFAULT_SERVER=" + name, "JACK_NO_START_SERVER=1", "JACK_NO_AUDIO_RESERVATION=1" };
}
}
