#pragma once

#include "engine/Engine.h"
#include "ui/bottom/BottomBarDialogs.h"
#include "ui/bottom/BottomBarHostStandIn.h"
#include "ui/bottom/BottomComponent.h"
#include "ui/dialogs/RecordInputChooser.h"

#include <functional>
#include <memory>

namespace zund::test
{
/** Answers the bar's questions in place of the user: the chooser is made
    modal and `answerChooser` acts on it (OK by default); the file chooser
    returns `fileToChoose` (a default File cancels); an overwrite question is
    answered with `replaceExisting`. What was shown is noted. */
struct ScriptedBottomDialogs : public BottomBarDialogs
{
    void chooseRecordSource (RecordInputChooser& chooser, std::function<void()> closed) override
    {
        ++sourceChoosersShown;
        chooser.enterModalState (false, juce::ModalCallbackFunction::create ([closed] (int) { closed(); }));
        answerChooser (chooser);
    }
    void chooseRecordFile (std::function<void (const juce::File&)> chosen) override
    {
        ++fileChoosersShown;
        if (keepQuestionsOpen)
            answerFileChooser = [chosen, file = fileToChoose] { chosen (file); };
        else
            chosen (fileToChoose);
    }
    void confirmOverwrite (const juce::File& file, std::function<void (bool)> answer) override
    {
        overwriteQuestions.add (file.getFullPathName());
        if (keepQuestionsOpen)
            answerOverwrite = [answer, replace = replaceExisting] { answer (replace); };
        else
            answer (replaceExisting);
    }
    void showWarning (const juce::String& title, const juce::String& message) override
    {
        warnings.add (title + ": " + message);
    }
    void showPreferences (juce::Component& panel, juce::Component& around, std::function<void()> closed) override
    {
        preferencesShown = &panel;
        centredOn = &around;
        if (keepPreferencesOpen)
            closePreferences = closed;
        else
            closed();
    }
    void showAbout() override { ++aboutBoxesShown; }

    std::function<void (RecordInputChooser&)> answerChooser = [] (RecordInputChooser& c) { c.getOkButton().triggerClick(); };
    juce::File fileToChoose;
    bool replaceExisting = true;
    /** The file chooser and the overwrite question wait until the test
        answers them (as a user who takes a while). */
    bool keepQuestionsOpen = false;
    std::function<void()> answerFileChooser, answerOverwrite;
    /** The preferences stay open until the test calls closePreferences. */
    bool keepPreferencesOpen = false;
    std::function<void()> closePreferences;

    int sourceChoosersShown = 0, fileChoosersShown = 0, aboutBoxesShown = 0;
    juce::StringArray overwriteQuestions, warnings;
    juce::Component* preferencesShown = nullptr;
    juce::Component* centredOn = nullptr;
};

/** A bar of the smallest window's width on a real engine, with the stand-in
    host and scripted dialogs. */
struct BottomBarRig
{
    explicit BottomBarRig (int width = 1022)
    {
        host.bar = &bar;
        bar.setSize (width, BottomComponent::barHeight);
    }

    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    BottomBarHostStandIn host;
    ScriptedBottomDialogs* dialogs = new ScriptedBottomDialogs(); // owned by the bar
    BottomComponent bar { *engine, host, std::unique_ptr<BottomBarDialogs> (dialogs) };
};

/** A press and release in the middle of a widget, as the mouse gives them. */
void click (juce::Component& widget);
/** Runs the engine for this long (its pending seeks and winding apply). */
void runEngine (Engine& engine, double seconds);
}
