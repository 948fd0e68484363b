#include "app/LibraryQuitSaves.h"

#include "library/browser/ZundBrowser.h"

namespace zund
{
namespace
{
enum
{
    tryAgainButton = 1,
    quitWithoutSavingButton = 2
};

// The framework's box ends without an answer when the window manager asks it
// to close; the library would then be given up unasked.
class QuitQuestionBox : public juce::AlertWindow
{
public:
    using juce::AlertWindow::AlertWindow;

    void userTriedToCloseWindow() override {}
};
}

bool LibraryQuitSaves::run (const Steps& steps)
{
    for (;;)
    {
        const auto reasons = steps.save();
        if (reasons.isEmpty())
            return true;

        switch (steps.ask (reasons))
        {
            case Answer::tryAgain:
                break;
            case Answer::quitWithoutSaving:
                steps.giveUp();
                return false;
            case Answer::none:
                return false;
        }
    }
}

bool LibraryQuitSaves::run (ZundBrowser& browser)
{
    return run ({ [&browser] { return browser.saveLibraryNow(); },
                  [&browser] { browser.forgetUnsavedChanges(); },
                  [] (const juce::StringArray& reasons) { return ask (reasons); } });
}

juce::String LibraryQuitSaves::questionText (const juce::StringArray& reasons)
{
    return reasons.joinIntoString ("\n\n")
         + "\n\nFree some space (or make the folder writable) and try again, or quit without saving: "
           "the changes to the library since it was last saved will then be lost.";
}

std::unique_ptr<juce::AlertWindow> LibraryQuitSaves::makeQuestion (const juce::StringArray& reasons)
{
    auto box = std::make_unique<QuitQuestionBox> (title, questionText (reasons), juce::MessageBoxIconType::WarningIcon);
    box->addButton ("Try Again", tryAgainButton, juce::KeyPress (juce::KeyPress::returnKey), juce::KeyPress ('t'));
    box->addButton ("Quit Without Saving", quitWithoutSavingButton, juce::KeyPress ('q'));
    box->setEscapeKeyCancels (false); // only a button ends it: nothing is lost by a stray key
    box->setAlwaysOnTop (true);
    return box;
}

LibraryQuitSaves::Answer LibraryQuitSaves::answerOf (int modalResult)
{
    switch (modalResult)
    {
        case tryAgainButton:
            return Answer::tryAgain;
        case quitWithoutSavingButton:
            return Answer::quitWithoutSaving;
        default:
            return Answer::none; // the event loop was stopped under it
    }
}

LibraryQuitSaves::Answer LibraryQuitSaves::ask (const juce::StringArray& reasons)
{
    return answerOf (makeQuestion (reasons)->runModalLoop());
}
}
