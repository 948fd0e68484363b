#include "support/TempFolder.h"

#include "common/ProgramFolder.h"

#include <cstdlib>
#include <string>

namespace zund::test
{
TempFolder::TempFolder()
{
    // mkdtemp picks and creates the name in one step, so test programs that run
    // side by side never share a folder.
    auto pattern = juce::File::getSpecialLocation (juce::File::tempDirectory)
                       .getChildFile ("zund-test-XXXXXX").getFullPathName().toStdString();
    if (::mkdtemp (pattern.data()) != nullptr)
        folder = juce::File (pattern);
}

TempFolder::~TempFolder()
{
    folder.deleteRecursively (false);
}

ScopedProgramFolder::ScopedProgramFolder()
{
    setApplicationFolderOverride (temp.get());
}

ScopedProgramFolder::~ScopedProgramFolder()
{
    setApplicationFolderOverride (juce::File());
}

int countOpenFileDescriptors()
{
    return juce::File ("/proc/self/fd").getNumberOfChildFiles (juce::File::findFilesAndDirectories);
}
}
