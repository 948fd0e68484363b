// The xrun figure of the end-to-end flows means something only if the
// counter sees the xruns the server reports: a client that overruns its
// period makes some, a quiet server none.

#include "app/harness/JackServer.h"
#include "app/harness/XrunCounter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <jack/jack.h>

#include <atomic>
#include <thread>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
/** A client whose process callback takes `lateMs` longer than it should while `late` is set. */
struct LateClient
{
    LateClient (const std::string& serverName)
    {
        jack_status_t status {};
        client = jack_client_open ("late", (jack_options_t) (JackNoStartServer | JackServerName), &status,
                                   serverName.c_str());
        if (client == nullptr)
            return;
        jack_set_process_callback (client, process, this);
        if (jack_activate (client) != 0)
        {
            jack_client_close (client);
            client = nullptr;
        }
    }

    ~LateClient()
    {
        if (client != nullptr)
        {
            jack_deactivate (client);
            jack_client_close (client);
        }
    }

    static int process (jack_nframes_t, void* self)
    {
        auto& me = *static_cast<LateClient*> (self);
        me.cycles.fetch_add (1);
        if (me.late.load())
            std::this_thread::sleep_for (std::chrono::milliseconds (100)); // a period lasts 43 ms
        return 0;
    }

    jack_client_t* client = nullptr;
    std::atomic<bool> late { false };
    std::atomic<int> cycles { 0 };
};
}

TEST (XrunCounter, CountsWhatTheServerReportsAndNothingOnAQuietServer)
{
    test::TempFolder folder;
    test::JackServer server (test::JackServerOptions::steady(), folder.file ("jackd.log").getFullPathName().toStdString());
    ASSERT_TRUE (server.isRunning()) << "jackd did not start";

    const test::XrunCounter xruns (server.getName());
    ASSERT_TRUE (xruns.isOpen());
    LateClient client (server.getName());
    ASSERT_NE (client.client, nullptr);

    ASSERT_TRUE (test::waitUntil ([&] { return client.cycles.load() > 50; }, 10s));
    EXPECT_EQ (xruns.getCount(), 0) << "a quiet server";

    client.late = true;
    EXPECT_TRUE (test::waitUntil ([&] { return xruns.getCount() > 0; }, 10s)) << "no xrun counted";
    client.late = false;
}
