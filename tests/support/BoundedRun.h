#pragma once

#include <juce_core/juce_core.h>

#include <functional>

namespace zund::test
{
/** Runs `work` on a thread of its own and waits at most `seconds` for it. When it
    has not returned by then, the test program ends at once with a message naming
    `what`: a hang is a failure, and the stuck thread would go on using the test's
    objects. */
void finishWithin (double seconds, const juce::String& what, const std::function<void()>& work);
}
