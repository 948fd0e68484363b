#pragma once

#include <juce_core/juce_core.h>

namespace zund::test
{
/** A small memory file system (tmpfs) mounted over a folder for one test, and
    a file of its own that fills it up on demand: the way to see what the
    program does when its disk is full. Mounting needs the right to (root);
    without it isMounted is false and getProblem says why. What the folder held
    is hidden while it is mounted. */
class SmallFileSystem
{
public:
    SmallFileSystem (const juce::File& folder, juce::int64 bytes);
    /** Unmounts it (lazily, should a file still be open). */
    ~SmallFileSystem();

    bool isMounted() const noexcept { return mounted; }
    const juce::String& getProblem() const noexcept { return problem; }

    /** Fills what is left with the filler file: afterwards no write can grow a file. */
    bool fill();
    /** Deletes the filler, so there is room again. */
    bool makeRoom();
    juce::int64 getFreeBytes() const;

private:
    juce::File folder, filler;
    bool mounted = false;
    juce::String problem;

    JUCE_DECLARE_NON_COPYABLE (SmallFileSystem)
};
}
