#include "app/flows/RecordingSteps.h"

#include "app/harness/RecordDialogsProbe.h"
#include "app/harness/SpawnedProcess.h"
#include "ui/bottom/BottomComponent.h"

namespace zund::test
{
using namespace std::chrono_literals;

RecordingSteps::RecordingSteps (X11Display& display, XTestInput& xInput, const WindowInfo& window,
                                const LayoutProbe& probe)
    : x (display), input (xInput), mainWindow (window), layout (probe)
{
}

std::optional<WindowInfo> RecordingSteps::waitForDialog (const std::string& title)
{
    std::optional<WindowInfo> dialog;
    waitUntil ([&] { return (dialog = x.findWindow (title)).has_value(); }, 20s);
    return dialog;
}

::testing::AssertionResult RecordingSteps::pressRecordButton()
{
    const auto record = layout.findBottomBarWidget (
        [] (BottomComponent& bar) -> juce::Component& { return bar.getRecordButton(); });
    if (! record)
        return ::testing::AssertionFailure() << "no record button in the bottom bar";
    input.click (mainWindow.id, record->getCentreX(), record->getCentreY());
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult RecordingSteps::recordMainOutputInto (const juce::File& typed)
{
    return recordSourceInto (0, typed);
}

::testing::AssertionResult RecordingSteps::recordInputPairInto (int pair, const juce::File& typed)
{
    return recordSourceInto (pair, typed);
}

::testing::AssertionResult RecordingSteps::recordSourceInto (int itemsDown, const juce::File& typed)
{
    const auto chooser = waitForDialog ("Choose Record Source and Quality!");
    if (! chooser)
        return ::testing::AssertionFailure() << "no source chooser";
    if (itemsDown > 0)
    {
        // The list's menu opens on the main output; each Down goes one item further.
        const auto before = x.listWindows().size();
        const auto list = RecordDialogsProbe::chooserSourceList();
        input.click (chooser->id, list.x, list.y);
        if (! waitUntil ([&] { return x.listWindows().size() > before; }, 10s))
            return ::testing::AssertionFailure() << "the source list did not open";
        for (int i = 0; i < itemsDown; ++i)
            input.pressKey ("Down");
        input.pressKey ("Return");
        waitUntil ([&] { return x.listWindows().size() == before; }, 10s);
    }
    const auto ok = RecordDialogsProbe::chooserOkButton();
    input.click (chooser->id, ok.x, ok.y);

    const auto files = waitForDialog ("Please enter filename for 32 Bit Stereo .WAV !");
    if (! files)
        return ::testing::AssertionFailure() << "no file chooser";
    input.focus (files->id);
    const auto nameBox = RecordDialogsProbe::fileNameBox (files->width, files->height);
    input.click (files->id, nameBox.x, nameBox.y);
    if (! input.typeText (typed.getFullPathName().toStdString()))
        return ::testing::AssertionFailure() << "could not type " << typed.getFullPathName();
    const auto save = RecordDialogsProbe::fileSaveButton (files->width, files->height);
    input.click (files->id, save.x, save.y);
    return ::testing::AssertionSuccess();
}

bool RecordingSteps::waitUntilFinished (const juce::File& recording, std::chrono::milliseconds timeout)
{
    auto size = recording.getSize();
    auto unchangedSince = std::chrono::steady_clock::now();
    return waitUntil (
        [&] {
            const auto now = std::chrono::steady_clock::now();
            if (const auto newSize = recording.getSize(); newSize != size)
            {
                size = newSize;
                unchangedSince = now;
            }
            return now - unchangedSince >= 1s;
        },
        timeout);
}
}
