// The harness's servers belong to one test each: servers started together
// never share, a server takes connections however often clients come and go,
// and a call that cannot reach its server fails the test by the server's name.

#include "app/harness/JackServer.h"
#include "app/harness/JackTestClient.h"
#include "app/harness/X11Windows.h"
#include "app/harness/XServer.h"
#include "app/harness/XTestInput.h"
#include "support/TempFolder.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <jack/jack.h>

#include <chrono>
#include <future>
#include <memory>
#include <set>
#include <thread>

using namespace zund;

namespace
{
constexpr int serversAtOnce = 3;

/** Servers made on as many threads at once (the worst case for two of them
    meeting on one display number or name). Each thread keeps its server
    until this object goes: a child process gets its parent-death signal when
    the thread that started it ends. */
template <typename Server>
class StartedTogether
{
public:
    template <typename Make>
    StartedTogether (int count, Make make)
        : servers ((size_t) count)
    {
        const auto done = finished.get_future().share();
        std::vector<std::future<void>> made;
        for (int i = 0; i < count; ++i)
        {
            std::promise<void> madeOne;
            made.push_back (madeOne.get_future());
            threads.emplace_back ([this, i, make, done, madeOne = std::move (madeOne)]() mutable {
                servers[(size_t) i] = make (i);
                madeOne.set_value();
                done.wait();
                servers[(size_t) i].reset();
            });
        }
        for (auto& f : made)
            f.wait();
    }

    ~StartedTogether()
    {
        finished.set_value();
        for (auto& t : threads)
            t.join();
    }

    std::vector<std::unique_ptr<Server>> servers;

private:
    std::promise<void> finished;
    std::vector<std::thread> threads;
};
}

TEST (HarnessServers, XServersStartedTogetherEachHaveTheirOwnDisplay)
{
    test::TempFolder logs;
    StartedTogether<test::XServer> started (serversAtOnce, [&] (int i) {
        return std::make_unique<test::XServer> (320, 200, logs.file ("xvfb-" + juce::String (i) + ".log")
                                                              .getFullPathName().toStdString());
    });

    std::set<std::string> names;
    for (auto& server : started.servers)
    {
        ASSERT_TRUE (server->isRunning()) << server->getProblem();
        names.insert (server->getDisplayName());
        EXPECT_TRUE (test::X11Display (server->getDisplayName()).isOpen()) << server->getDisplayName();
    }
    EXPECT_EQ (names.size(), started.servers.size());
}

TEST (HarnessServers, AnXServerTakesConnectionsRightAfterItsLastClientLeft)
{
    test::TempFolder logs;
    test::XServer server (320, 200, logs.file ("xvfb.log").getFullPathName().toStdString());
    ASSERT_TRUE (server.isRunning()) << server.getProblem();

    // The harness checks the server, then connects for the test, then the
    // program connects: each connection may follow the last one's end at once.
    for (int i = 0; i < 100; ++i)
    {
        test::X11Display display (server.getDisplayName());
        ASSERT_TRUE (display.isOpen()) << "connection " << i + 1 << " to " << server.getDisplayName();
        ASSERT_TRUE (test::XTestInput (display).isAvailable()) << "connection " << i + 1;
    }
}

TEST (HarnessServers, JackServersStartedTogetherEachHaveTheirOwnName)
{
    test::TempFolder logs;
    test::JackServerOptions options;
    options.capturePorts = 2;
    options.playbackPorts = 2;
    StartedTogether<test::JackServer> started (serversAtOnce, [&] (int i) {
        return std::make_unique<test::JackServer> (options, logs.file ("jackd-" + juce::String (i) + ".log")
                                                                .getFullPathName().toStdString());
    });

    std::set<std::string> names;
    for (auto& server : started.servers)
    {
        ASSERT_TRUE (server->isRunning()) << server->getProblem();
        names.insert (server->getName());
    }
    EXPECT_EQ (names.size(), started.servers.size());

    // Each takes a client of the one name a test's client has: it is alone there.
    for (auto& server : started.servers)
        EXPECT_TRUE (test::JackTestClient (server->getName(), 1, 2).isOpen()) << server->getName();
}

// A program registers its ports before it activates its client, and the server
// refuses connections to them until then: a connection asked for meanwhile is
// made once the client is active.
TEST (HarnessServers, AConnectionToAClientNotYetActiveIsMadeOnceItIs)
{
    test::TempFolder logs;
    test::JackServerOptions options;
    options.capturePorts = 2;
    options.playbackPorts = 2;
    test::JackServer server (options, logs.file ("jackd.log").getFullPathName().toStdString());
    ASSERT_TRUE (server.isRunning()) << server.getProblem();
    test::JackTestClient listener (server.getName(), 1, 2);
    ASSERT_TRUE (listener.isOpen());

    jack_status_t status {};
    auto* late = jack_client_open ("late", (jack_options_t) (JackNoStartServer | JackServerName), &status,
                                   server.getName().c_str());
    ASSERT_NE (late, nullptr);
    ASSERT_NE (jack_port_register (late, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0), nullptr);
    std::thread activation ([late] {
        std::this_thread::sleep_for (std::chrono::milliseconds (500));
        jack_activate (late);
    });
    EXPECT_TRUE (listener.connect ("late:out", listener.getInputPort (0)));
    activation.join();
    EXPECT_TRUE (listener.isConnected ("late:out", listener.getInputPort (0)));
    jack_client_close (late);
}

TEST (HarnessServers, CallsThatCannotReachTheirServerFailNamingIt)
{
    test::X11Display display (":99999");
    ASSERT_FALSE (display.isOpen());
    EXPECT_NONFATAL_FAILURE (display.listWindows(), "\":99999\"");
    EXPECT_NONFATAL_FAILURE (display.findWindow ("any"), "\":99999\"");
    EXPECT_NONFATAL_FAILURE (display.sendCloseRequest (1), "\":99999\"");

    test::XTestInput input (display);
    EXPECT_FALSE (input.isAvailable());
    EXPECT_NONFATAL_FAILURE (input.click (1, 10, 10), "\":99999\"");
    EXPECT_NONFATAL_FAILURE (EXPECT_FALSE (input.typeText ("a")), "\":99999\"");

    test::JackTestClient client ("zund-no-such-server", 1, 2);
    ASSERT_FALSE (client.isOpen());
    EXPECT_NONFATAL_FAILURE (EXPECT_EQ (client.record (0.1).getNumFrames(), 0), "\"zund-no-such-server\"");
}
