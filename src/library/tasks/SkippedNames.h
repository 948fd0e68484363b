#pragma once

#include "common/files/FolderListing.h"

#include <vector>

namespace zund
{
/** The song files and folders among the entries a walk skipped because their
    names cannot be held in a string (FolderWalker::getSkipped), as the user is
    shown them: the path with each byte that is not UTF-8 as "%XX". */
juce::StringArray describeSkippedNames (const std::vector<FolderListing::Entry>& skipped);

/** The line that tells the user of them in a scan's status; empty for none. */
juce::String skippedNamesNote (int numSkipped);
}
