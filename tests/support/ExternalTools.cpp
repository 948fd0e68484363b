#include "support/ExternalTools.h"

namespace zund::test
{
bool runTool (const juce::StringArray& command)
{
    juce::ChildProcess process;
    if (! process.start (command, juce::ChildProcess::wantStdErr))
        return false;
    process.readAllProcessOutput();
    return process.waitForProcessToFinish (300000) && process.getExitCode() == 0;
}
}
