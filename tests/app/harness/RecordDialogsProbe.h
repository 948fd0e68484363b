#pragma once

#include <juce_graphics/juce_graphics.h>

namespace zund::test
{
/** Where to click in the recording dialogs, found as LayoutProbe finds the
    main window's controls: the same windows are made headlessly, with the
    program's look and feel, at the size the program's window has, and asked.
    Results are relative to the dialog's window, ready for XTestInput. */
struct RecordDialogsProbe
{
    /** The record source chooser's "OK" button and its source list. */
    static juce::Point<int> chooserOkButton();
    static juce::Point<int> chooserSourceList();

    /** The framework's file chooser window of this size: its file name box
        and its confirming button. */
    static juce::Point<int> fileNameBox (int windowWidth, int windowHeight);
    static juce::Point<int> fileSaveButton (int windowWidth, int windowHeight);
};
}
