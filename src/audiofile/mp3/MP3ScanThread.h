#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
class MP3Reader;

/** Walks an MP3 reader's whole file once, building its frame table, then sets up
    its decoder and ends the reader's scanning state. */
class MP3ScanThread : public juce::Thread
{
public:
    explicit MP3ScanThread (MP3Reader& owner);
    ~MP3ScanThread() override;

    void run() override;

private:
    /** Appends every frame from the first sync on; returns the number of frames. */
    int buildFrameTable();

    MP3Reader& reader;

    JUCE_DECLARE_NON_COPYABLE (MP3ScanThread)
};
}
