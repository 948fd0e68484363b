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

LibraryQuitSaves::Answer LibraryQuitSaves::ask (const juce::StringArray& reasons)
{
    juce::AlertWindow box (title, questionText (reasons), juce::MessageBoxIconType::WarningIcon);
    box.addButton ("Try Again", tryAgainButton, juce::KeyPress (juce::KeyPress::returnKey), juce::KeyPress ('t'));
    box.addButton ("Quit Without Saving", quitWithoutSavingButton, juce::KeyPress ('q'));
    box.setEscapeKeyCancels (false); // only a button ends it: nothing is lost by a stray key
    box.setAlwaysOnTop (true);

    switch (box.runModalLoop())
    {
        case tryAgainButton:
            return Answer::tryAgain;
        case quitWithoutSavingButton:
            return Answer::quitWithoutSaving;
        default:
            return Answer::none;
    }
}
}
