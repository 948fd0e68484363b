#include "common/files/ProgramFolder.h"

#include <mutex>

namespace zund
{
namespace
{
std::mutex overrideLock;
juce::File overrideFolder;
}

juce::File getApplicationFolder()
{
    {
        std::lock_guard<std::mutex> lock (overrideLock);
        if (overrideFolder != juce::File())
            return overrideFolder;
    }
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory();
}

void setApplicationFolderOverride (const juce::File& folder)
{
    std::lock_guard<std::mutex> lock (overrideLock);
    overrideFolder = folder;
}

juce::File getApplicationFolderFile (const juce::String& relativeName)
{
    return getApplicationFolder().getChildFile (relativeName);
}
}
