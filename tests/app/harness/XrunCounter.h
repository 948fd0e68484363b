#pragma once

#include <atomic>
#include <string>

namespace zund::test
{
/** Counts the xruns a JACK server reports from now on, through a client of
    its own that only listens for them. */
class XrunCounter
{
public:
    explicit XrunCounter (const std::string& serverName);
    ~XrunCounter();

    bool isOpen() const noexcept { return client != nullptr; }
    int getCount() const noexcept { return count.load(); }

private:
    static int xrunCallback (void* self);

    void* client = nullptr; // jack_client_t*, kept out of this header
    std::atomic<int> count { 0 };

    XrunCounter (const XrunCounter&) = delete;
    XrunCounter& operator= (const XrunCounter&) = delete;
};
}
