#include "support/TempFolder.h"

#include "common/ProgramFolder.h"

namespace zund::test
{
TempFolder::TempFolder()
{
    folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                 .getNonexistentChildFile ("zund-test-", "", false);
    folder.createDirectory();
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
