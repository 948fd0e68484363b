#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

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
        none // the event loop was stopped under the box (the program is being ended)
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

    /** The box `ask` runs. Neither Escape nor a window manager's close
        button (or Alt+F4) ends it. */
    static std::unique_ptr<juce::AlertWindow> makeQuestion (const juce::StringArray& reasons);
    /** What the box's modal result says. */
    static Answer answerOf (int modalResult);

    static constexpr const char* title = "Library not saved";
};
}
