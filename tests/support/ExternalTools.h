#pragma once

#include <juce_core/juce_core.h>

namespace zund::test
{
/** Runs a command-line tool (sox, lame, oggenc...) and waits up to five minutes;
    true when it exits with 0. */
bool runTool (const juce::StringArray& command);
}
