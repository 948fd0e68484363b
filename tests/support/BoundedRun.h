#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>

namespace zund::test
{
/** Runs `work` on a thread of its own and waits at most `seconds` for it. When it
    has not returned by then, the test program ends at once with a message naming
    `what`: a hang is a failure, and the stuck thread would go on using the test's
    objects. */
void finishWithin (double seconds, const juce::String& what, const std::function<void()>& work);

/** For work that must stay on the calling thread (a modal loop on the message
    thread): unless this object is gone within `seconds`, the test program ends
    at once with a message naming `what`. */
class HangWatch
{
public:
    HangWatch (double seconds, const juce::String& what);
    ~HangWatch();

private:
    struct State;
    std::shared_ptr<State> state;
};
}
