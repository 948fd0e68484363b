#include "app/harness/XrunCounter.h"

#include <jack/jack.h>

namespace zund::test
{
XrunCounter::XrunCounter (const std::string& serverName)
{
    jack_status_t status {};
    auto* c = jack_client_open ("e2e-xruns", (jack_options_t) (JackNoStartServer | JackServerName), &status,
                                serverName.c_str());
    if (c == nullptr)
        return;
    // Notifications reach active clients only.
    if (jack_set_xrun_callback (c, xrunCallback, this) != 0 || jack_activate (c) != 0)
    {
        jack_client_close (c);
        return;
    }
    client = c;
}

XrunCounter::~XrunCounter()
{
    if (client != nullptr)
    {
        auto* c = static_cast<jack_client_t*> (client);
        jack_deactivate (c);
        jack_client_close (c);
    }
}

int XrunCounter::xrunCallback (void* self)
{
    static_cast<XrunCounter*> (self)->count.fetch_add (1);
    return 0;
}
}
