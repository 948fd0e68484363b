#pragma once

#include <juce_core/juce_core.h>

namespace zund::test
{
/** A fresh folder under the system temp folder, deleted with everything in it. */
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();

    const juce::File& get() const noexcept { return folder; }
    juce::File file (const juce::String& name) const { return folder.getChildFile (name); }

private:
    juce::File folder;
    JUCE_DECLARE_NON_COPYABLE (TempFolder)
};

/** A temporary program folder: every program-folder file of the code under test
    lands in it while this object lives. */
class ScopedProgramFolder
{
public:
    ScopedProgramFolder();
    ~ScopedProgramFolder();

    const juce::File& get() const noexcept { return temp.get(); }
    juce::File file (const juce::String& name) const { return temp.file (name); }

private:
    TempFolder temp;
};

/** Number of open file descriptors of this process. */
int countOpenFileDescriptors();
}
