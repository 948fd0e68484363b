#include "support/TempFolder.h"

#include "common/files/ProgramFolder.h"

#include <ftw.h>

#include <cstdio>

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
    // Not the framework's recursive delete: its listing overflows on some of
    // the raw-byte names the tests make.
    ::nftw (folder.getFullPathName().toRawUTF8(),
            [] (const char* path, const struct stat*, int, struct FTW*) {
                std::remove (path);
                return 0; // what cannot go stays, as before
            },
            16, FTW_DEPTH | FTW_PHYS);
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
