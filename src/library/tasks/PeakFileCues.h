#pragma once

#include "library/database/ID3DataBaseEntry.h"

namespace zund
{
/** The cue points that peak files of older versions kept: the first six
    attributes of the root's "CuePoints" child, by position (empty or absent is
    unset, -1). True when the file parses and holds at least one set cue point. */
bool readPeakFileCuePoints (const juce::File& peakFile, float (&cuePoints)[ID3DataBaseEntry::numCuePoints]);
}
