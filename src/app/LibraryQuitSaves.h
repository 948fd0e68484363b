#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace zund
{
class ZundBrowser;

/** The library's saves at quit, made while the event loop still runs so that a
    failure (a full disk, a folder that cannot be written) can be answered: the
    user frees space and tries again, or quits without saving. Message thread. */
class LibraryQuitSaves
{
public:
    enum class Answer
    {
        tryAgain,
        quitWithoutSaving,
        none // the box went without an answer (the program is being ended)
    };

    struct Steps
    {
        /** Writes what is unsaved; the reasons of the files not written. */
        std::function<juce::StringArray()> save;
        /** The user quits without saving. */
        std::function<void()> giveUp;
        std::function<Answer (const juce::StringArray& reasons)> ask;
    };

    /** Saves; after a failure asks, and saves again for as long as the user
        tries again. True when everything was written. Without an answer
        nothing is given up: the saves at the end try once more. */
    static bool run (const Steps& steps);

    /** run with the browser's files and the question box below. */
    static bool run (ZundBrowser& browser);

    /** A modal box that names the files and why they could not be written,
        and stays until one of its buttons is chosen: "Try Again" (Return or T)
        or "Quit Without Saving" (Q). */
    static Answer ask (const juce::StringArray& reasons);
    static juce::String questionText (const juce::StringArray& reasons);

    static constexpr const char* title = "Library not saved";
};
}
