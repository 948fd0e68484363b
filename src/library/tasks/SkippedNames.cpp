#include "library/tasks/SkippedNames.h"

#include "common/files/AudioFileTypes.h"
#include "library/tags/TagText.h"

namespace zund
{
juce::StringArray describeSkippedNames (const std::vector<FolderListing::Entry>& skipped)
{
    juce::StringArray described;
    for (const auto& entry : skipped)
        if (entry.kind == FolderListing::Kind::folder || hasSupportedAudioExtension (entry.path.c_str()))
            described.add (escapeMalformedBytes (entry.path.data(), entry.path.size()));
    return described;
}

juce::String skippedNamesNote (int numSkipped)
{
    if (numSkipped <= 0)
        return {};
    return juce::String (numSkipped) + (numSkipped == 1 ? " file or folder was" : " files or folders were")
         + " skipped: the program cannot read their names (rename them).";
}
}
