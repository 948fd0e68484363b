#include "support/TempFolder.h"

#include "common/ProgramFolder.h"

namespace zund::test
{
TempFolder::TempFolder()
{
    // A unique name: test programs run in parallel, and a "nonexistent" name
    // picked by two processes at once would be shared and deleted under one.
    folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                 .getChildFile ("zund-test-" + juce::Uuid().toString());
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
