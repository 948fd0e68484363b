#pragma once

#include "app/harness/CaptureRing.h"
#include "app/harness/PairSource.h"
#include "app/harness/Recording.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace zund::test
{
/** A JACK client inside the test process: it plays into the program what
    turntables would (output pairs "play_1"/"play_2", "play_3"/"play_4", ...,
    each with its own PairSource) and records what the program puts out
    (input ports "rec_1", "rec_2", ...). Connections are made by port name.
    Without a connection, recording fails the test, naming the server. Its
    name is unique on the machine (see uniqueClientName). */
class JackTestClient
{
public:
    JackTestClient (const std::string& serverName, int numOutputPairs, int numInputs, double ringSeconds = 20.0);
    ~JackTestClient();

    bool isOpen() const noexcept { return client != nullptr; }
    /** "e2e-<process>-<count>". */
    const std::string& getName() const noexcept { return name; }
    double getSampleRate() const noexcept { return sampleRate; }

    /** Full port names, channels counted from 0. */
    std::string getOutputPort (int channel) const;
    std::string getInputPort (int channel) const;

    PairSource& source (int pair) { return *sources.at ((size_t) pair); }

    /** Both return once the server's graph shows the change (false when it
        does not within 5 s). connect waits up to 10 s for the ports' clients
        to be active. */
    bool connect (const std::string& sourcePort, const std::string& destinationPort);
    bool disconnect (const std::string& sourcePort, const std::string& destinationPort);
    bool isConnected (const std::string& sourcePort, const std::string& destinationPort);

    /** Names of the ports matching the regular expression (libjack's matching). */
    std::vector<std::string> findPorts (const std::string& pattern);
    bool waitForPorts (const std::string& pattern, int count, std::chrono::milliseconds timeout);

    /** Records every input from now on, until stopRecording(). Nothing is
        read in between: keep the span within the ring's length. */
    void startRecording();
    Recording stopRecording();
    /** Records `seconds` of every input from now; shorter only when the
        server stops delivering. */
    Recording record (double seconds);

private:
    static int processCallback (unsigned int numFrames, void* self);
    void process (int numFrames) noexcept;
    Recording collect (int wantedFrames, std::chrono::milliseconds timeout);
    bool reachable() const;

    std::string serverName, name;
    void* client = nullptr; // jack_client_t*, kept out of this header
    double sampleRate = 0.0;
    std::vector<void*> outputPorts, inputPorts;
    std::vector<std::unique_ptr<PairSource>> sources;
    std::unique_ptr<CaptureRing> ring;
    std::vector<const float*> inputBuffers; // JACK thread scratch, sized once
    juce::int64 droppedAtStart = 0;
};
}
