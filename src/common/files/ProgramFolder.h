#pragma once

#include <juce_core/juce_core.h>

namespace zund
{
/** A file in the program's own folder (the folder of the executable). The name
    may hold sub-folders, separated by '/': "gfx/knob.png", "PKFiles/...". */
juce::File getApplicationFolderFile (const juce::String& relativeName);

/** The folder that getApplicationFolderFile resolves against. */
juce::File getApplicationFolder();

/** Points the program folder somewhere else (tests use a temporary folder).
    An invalid File restores the executable's folder. */
void setApplicationFolderOverride (const juce::File& folder);
}
