#pragma once

#include "app/harness/LayoutProbe.h"
#include "app/harness/X11Windows.h"
#include "app/harness/XTestInput.h"

#include <gtest/gtest.h>

#include <juce_core/juce_core.h>

#include <chrono>
#include <optional>

namespace zund::test
{
/** A user's way through recording in the running program: the bottom bar's
    record button, "OK" in the source chooser as it opens (the main output,
    16 bits), and a name typed into the file chooser. Each step waits for the
    window it needs. */
class RecordingSteps
{
public:
    RecordingSteps (X11Display& x, XTestInput& input, const WindowInfo& mainWindow, const LayoutProbe& layout);

    /** A click on the record button: on starts the questions, off stops. */
    ::testing::AssertionResult pressRecordButton();

    /** After the press: "OK" in the source chooser, then `typed` (a full
        path) into the file chooser and its save button. */
    ::testing::AssertionResult recordMainOutputInto (const juce::File& typed);
    /** The same with the device's input pair `pair` (1 = its first channels)
        chosen in the source list, by key from the main output. */
    ::testing::AssertionResult recordInputPairInto (int pair, const juce::File& typed);

    /** Whether the recording stops growing (keeps its size for a second)
        within the timeout: the recorder writes every 10 ms while it runs. */
    static bool waitUntilFinished (const juce::File& recording,
                                   std::chrono::milliseconds timeout = std::chrono::seconds (20));

private:
    std::optional<WindowInfo> waitForDialog (const std::string& title);
    /** The source `itemsDown` items below the main output, then the file. */
    ::testing::AssertionResult recordSourceInto (int itemsDown, const juce::File& typed);

    X11Display& x;
    XTestInput& input;
    WindowInfo mainWindow;
    LayoutProbe layout;
};
}
