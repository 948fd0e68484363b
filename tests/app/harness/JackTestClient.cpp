#include "app/harness/JackTestClient.h"

#include "app/harness/JackServer.h"
#include "app/harness/SpawnedProcess.h"

#include <gtest/gtest.h>
#include <jack/jack.h>

namespace zund::test
{
namespace
{
jack_client_t* handle (void* client) { return static_cast<jack_client_t*> (client); }
jack_port_t* port (void* p) { return static_cast<jack_port_t*> (p); }

// libjack's own error and information lines stay off the test output; the
// tests report what went wrong.
void dropMessage (const char*) {}
}

JackTestClient::JackTestClient (const std::string& server, int numOutputPairs, int numInputs, double ringSeconds)
    : serverName (server)
{
    name = uniqueClientName ("e2e");

    jack_set_error_function (dropMessage);
    jack_set_info_function (dropMessage);
    jack_status_t status {};
    auto* c = jack_client_open (name.c_str(), (jack_options_t) (JackNoStartServer | JackServerName | JackUseExactName),
                                &status, serverName.c_str());
    if (c == nullptr)
        return;

    sampleRate = (double) jack_get_sample_rate (c);
    for (int i = 0; i < numOutputPairs * 2; ++i)
        outputPorts.push_back (jack_port_register (c, ("play_" + std::to_string (i + 1)).c_str(),
                                                   JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0));
    for (int i = 0; i < numInputs; ++i)
        inputPorts.push_back (jack_port_register (c, ("rec_" + std::to_string (i + 1)).c_str(),
                                                  JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0));
    for (int i = 0; i < numOutputPairs; ++i)
        sources.push_back (std::make_unique<PairSource> (sampleRate));
    ring = std::make_unique<CaptureRing> (numInputs, (int) (ringSeconds * sampleRate));
    inputBuffers.resize ((size_t) numInputs);

    jack_set_process_callback (c, processCallback, this);
    if (jack_activate (c) != 0)
    {
        jack_client_close (c);
        return;
    }
    client = c;
}

JackTestClient::~JackTestClient()
{
    if (client != nullptr)
    {
        jack_deactivate (handle (client));
        jack_client_close (handle (client));
    }
}

std::string JackTestClient::getOutputPort (int channel) const
{
    return name + ":play_" + std::to_string (channel + 1);
}

std::string JackTestClient::getInputPort (int channel) const
{
    return name + ":rec_" + std::to_string (channel + 1);
}

int JackTestClient::processCallback (unsigned int numFrames, void* self)
{
    static_cast<JackTestClient*> (self)->process ((int) numFrames);
    return 0;
}

void JackTestClient::process (int numFrames) noexcept
{
    // Outputs first: a port looped back to our own input then carries this block.
    for (size_t pair = 0; pair < sources.size(); ++pair)
    {
        auto* left = static_cast<float*> (jack_port_get_buffer (port (outputPorts[pair * 2]), (jack_nframes_t) numFrames));
        auto* right = static_cast<float*> (jack_port_get_buffer (port (outputPorts[pair * 2 + 1]), (jack_nframes_t) numFrames));
        sources[pair]->render (left, right, numFrames);
    }

    for (size_t i = 0; i < inputPorts.size(); ++i)
        inputBuffers[i] = static_cast<const float*> (jack_port_get_buffer (port (inputPorts[i]), (jack_nframes_t) numFrames));
    ring->write (inputBuffers.data(), numFrames);
}

bool JackTestClient::connect (const std::string& sourcePort, const std::string& destinationPort)
{
    if (client == nullptr)
        return false;
    // A program registers its ports before it activates its client, and the
    // server refuses connections to an inactive client's ports: try again
    // until it is active.
    const bool made = waitUntil (
        [&] {
            const int result = jack_connect (handle (client), sourcePort.c_str(), destinationPort.c_str());
            return result == 0 || result == EEXIST;
        },
        std::chrono::seconds (10));
    // The server's graph takes a change at its next cycle: until then it does
    // not show, nor carry sound.
    return made
        && waitUntil ([&] { return isConnected (sourcePort, destinationPort); }, std::chrono::seconds (5));
}

bool JackTestClient::disconnect (const std::string& sourcePort, const std::string& destinationPort)
{
    return client != nullptr && jack_disconnect (handle (client), sourcePort.c_str(), destinationPort.c_str()) == 0
        && waitUntil ([&] { return ! isConnected (sourcePort, destinationPort); }, std::chrono::seconds (5));
}

bool JackTestClient::isConnected (const std::string& sourcePort, const std::string& destinationPort)
{
    if (client == nullptr)
        return false;
    auto* source = jack_port_by_name (handle (client), sourcePort.c_str());
    return source != nullptr && jack_port_connected_to (source, destinationPort.c_str()) != 0;
}

std::vector<std::string> JackTestClient::findPorts (const std::string& pattern)
{
    std::vector<std::string> names;
    if (client == nullptr)
        return names;
    if (const char** ports = jack_get_ports (handle (client), pattern.c_str(), JACK_DEFAULT_AUDIO_TYPE, 0))
    {
        for (int i = 0; ports[i] != nullptr; ++i)
            names.emplace_back (ports[i]);
        jack_free (ports);
    }
    return names;
}

bool JackTestClient::waitForPorts (const std::string& pattern, int count, std::chrono::milliseconds timeout)
{
    return waitUntil ([&] { return (int) findPorts (pattern).size() >= count; }, timeout);
}

bool JackTestClient::reachable() const
{
    if (client == nullptr)
        ADD_FAILURE() << "the test's JACK client is not on the server \"" << serverName << "\"";
    return client != nullptr;
}

void JackTestClient::startRecording()
{
    if (! reachable())
        return;
    droppedAtStart = ring->getDroppedFrames();
    ring->startCapture();
}

Recording JackTestClient::collect (int wantedFrames, std::chrono::milliseconds timeout)
{
    Recording recording;
    recording.sampleRate = sampleRate;
    if (! reachable())
        return recording;
    // Read as it comes, so a recording may be longer than the ring.
    waitUntil ([&]
               {
                   ring->readInto (recording.channels);
                   return recording.getNumFrames() >= wantedFrames;
               },
               timeout);
    ring->stopCapture();
    ring->readInto (recording.channels);
    for (auto& channel : recording.channels)
        if (wantedFrames > 0 && (int) channel.size() > wantedFrames)
            channel.resize ((size_t) wantedFrames);
    recording.droppedFrames = ring->getDroppedFrames() - droppedAtStart;
    return recording;
}

Recording JackTestClient::stopRecording()
{
    return collect (0, std::chrono::milliseconds (0));
}

Recording JackTestClient::record (double seconds)
{
    if (! reachable())
        return {};
    startRecording();
    const auto timeout = std::chrono::milliseconds ((long) (seconds * 3000.0) + 5000);
    return collect ((int) (seconds * sampleRate), timeout);
}
}
