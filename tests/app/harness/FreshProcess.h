#pragma once

namespace zund::test
{
/** For a test whose windows need the framework's windowing to start on a
    display of its own: the framework starts it once per process, at its
    first use, and in a test program run whole an earlier test has started it
    without a display.

    True in a process started for the current test alone: go on with the test
    there. Otherwise it starts that process (this program, for the current
    test only), waits for it, fails the test with its output when it does not
    pass, and gives false: the test ends here. */
bool inFreshProcess();
}
