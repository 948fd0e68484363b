#pragma once

#include "common/files/FileFacts.h"
#include "common/HeapTuning.h"
#include "library/database/ID3DataBase.h"

#include <algorithm>
#include <memory>
#include <vector>

// Generated libraries for the scale benchmarks: records shaped like a real
// collection's, as many as asked.

namespace zund::bench
{
inline juce::String generatedSongPath (int i)
{
    return "/home/dj/Music/Artist " + juce::String (i % 2000) + "/Album " + juce::String (i % 97) + "/"
         + juce::String (i % 20 + 1).paddedLeft ('0', 2) + " Some Track Title " + juce::String (i) + ".mp3";
}

inline std::unique_ptr<ID3DataBaseEntry> makeGeneratedRecord (const juce::String& path, int i)
{
    auto record = std::make_unique<ID3DataBaseEntry>();
    record->filename = path;
    record->artist = "Artist " + juce::String (i % 2000);
    record->album = "Album " + juce::String (i % 97);
    record->song = "Some Track Title " + juce::String (i);
    record->bpm = juce::String (90 + i % 80);
    record->label = "Label " + juce::String (i % 300);
    record->genre = "Techno";
    record->year = juce::String (1980 + i % 45);
    record->quality = "320 kbps";
    record->samplerate = 44100;
    record->seconds = 180 + i % 400;
    record->setValid();
    return record;
}

/** Adds `count` generated records. They go in in the index's own order, so
    that making a large library does not wait on one insert after another. */
inline void addGeneratedRecords (ID3DataBase& database, int count)
{
    std::vector<std::pair<int, int>> order; // path hash, record number
    order.reserve ((size_t) count);
    for (int i = 0; i < count; ++i)
        order.emplace_back (getPathHash (generatedSongPath (i)), i);
    std::stable_sort (order.begin(), order.end());

    const juce::ScopedLock sl (database.getLock());
    for (const auto& [hash, i] : order)
        database.insertEntry (makeGeneratedRecord (generatedSongPath (i), i));
}

/** The per-record cost at the larger size over that at the smaller one. */
inline double perRecordCostRatio (double smallSeconds, int smallCount, double largeSeconds, int largeCount)
{
    return (largeSeconds / largeCount) / (smallSeconds / smallCount);
}
}

namespace zund::bench
{
/** The heap as the program sets it up at start-up. */
inline const bool heapTunedAsInTheProgram = [] {
    tuneHeapForBulkFrees();
    return true;
}();
}
