#pragma once

#include <juce_core/juce_core.h>

#include <csignal>

namespace zund::test
{
/** Makes a regular file behave as one on a hung network mount: while this
    object holds a write lease on it, whoever opens it (any thread) waits until
    release() or the end of this object. SIGIO, which the kernel sends the
    holder when someone waits, is ignored meanwhile. */
class StalledFile
{
public:
    explicit StalledFile (const juce::File& file);
    ~StalledFile();

    /** False when the file system refuses the lease (the test cannot stall). */
    bool isStalling() const noexcept { return descriptor >= 0; }

    /** Lets the waiting openers through. */
    void release();

private:
    int descriptor = -1;
    struct sigaction previous {};

    JUCE_DECLARE_NON_COPYABLE (StalledFile)
};
}
