#include "support/TempFolder.h"

#include "common/ProgramFolder.h"

#include <cstdlib>
#include <string>

namespace zund::test
{
TempFolder::TempFolder()
{
    // mkdtemp picks and creates the name in one step: test programs run in
    // parallel and must never share (and delete) each other's folder.
    const auto temp = juce::File::getSpecialLocation (juce::File::tempDirectory);
    auto pattern = temp.getChildFile ("zund-test-XXXXXX").getFullPathName().toStdString();
    if (::mkdtemp (pattern.data()) != nullptr)
        folder = juce::File (pattern);
    else
    {
        folder = temp.getNonexistentChildFile ("zund-test-", "", false);
        folder.createDirectory();
    }
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
