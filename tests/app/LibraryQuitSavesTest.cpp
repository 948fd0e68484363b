// The library's saves at quit: a failure is put to the user, who tries again
// (after freeing space) as often as needed, or quits without saving; only then
// are the unsaved changes given up.

#include "app/LibraryQuitSaves.h"
#include "support/ModalRun.h"
#include "support/OneScreen.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace zund;
using Answer = LibraryQuitSaves::Answer;

namespace
{
struct Script
{
    const char* what;
    std::vector<int> filesNotWritten; // by each save in turn
    std::vector<Answer> answers;      // to each question in turn
    int saves, questions;
    bool gaveUp, allWritten;
};

const Script scripts[] = {
    { "all written at once", { 0 }, {}, 1, 0, false, true },
    { "written after space was freed", { 2, 0 }, { Answer::tryAgain }, 2, 1, false, true },
    { "still full, asked again", { 2, 1, 0 }, { Answer::tryAgain, Answer::tryAgain }, 3, 2, false, true },
    { "given up", { 2, 1 }, { Answer::tryAgain, Answer::quitWithoutSaving }, 2, 2, true, false },
    { "ended without an answer", { 1 }, { Answer::none }, 1, 1, false, false },
};
}

TEST (LibraryQuitSaves, EachFailureIsAskedAboutUntilAllIsWrittenOrTheUserGivesUp)
{
    for (const auto& script : scripts)
    {
        SCOPED_TRACE (script.what);
        int saves = 0, questions = 0;
        bool gaveUp = false;
        std::vector<int> reasonsAsked;

        LibraryQuitSaves::Steps steps;
        steps.save = [&] {
            juce::StringArray reasons;
            for (int i = 0; i < script.filesNotWritten.at ((size_t) saves); ++i)
                reasons.add ("file " + juce::String (i) + " could not be saved");
            ++saves;
            return reasons;
        };
        steps.giveUp = [&] { gaveUp = true; };
        steps.ask = [&] (const juce::StringArray& reasons) {
            reasonsAsked.push_back (reasons.size());
            return script.answers.at ((size_t) questions++);
        };

        EXPECT_EQ (LibraryQuitSaves::run (steps), script.allWritten);
        EXPECT_EQ (saves, script.saves);
        EXPECT_EQ (questions, script.questions);
        EXPECT_EQ (gaveUp, script.gaveUp);
        for (size_t q = 0; q < reasonsAsked.size(); ++q)
            EXPECT_EQ (reasonsAsked[q], script.filesNotWritten[q]) << "question " << q << " names the files of its save";
    }
}

TEST (LibraryQuitSaves, TheQuestionNamesEveryFileAndBothWaysOn)
{
    const auto text = LibraryQuitSaves::questionText ({ "The song database could not be saved to \"/p/database.xml\" (full).",
                                                        "The song folders and cases could not be saved to \"/p/TreeView.xml\" (full)." });
    EXPECT_TRUE (text.contains ("\"/p/database.xml\" (full)")) << text;
    EXPECT_TRUE (text.contains ("\"/p/TreeView.xml\" (full)")) << text;
    EXPECT_TRUE (text.contains ("try again")) << text;
    EXPECT_TRUE (text.contains ("quit without saving")) << text;
}

// Escape and a window manager's close button (the framework hands its
// WM_DELETE_WINDOW to userTriedToCloseWindow) are no answer: the box stays;
// only its buttons, or their keys, end it.
TEST (LibraryQuitSaves, TheQuestionStaysUntilOneOfItsButtonsIsChosen)
{
    const auto button = [] (juce::Component& box, const juce::String& text) -> juce::Button* {
        for (auto* child : box.getChildren())
            if (auto* b = dynamic_cast<juce::TextButton*> (child); b != nullptr && b->getButtonText() == text)
                return b;
        return nullptr;
    };
    struct Case
    {
        const char* what;
        std::function<void (juce::Component&)> answer; // through the framework's public entry points
        Answer expected;
    };
    const Case cases[] = {
        { "Try Again clicked", [&] (juce::Component& box) { button (box, "Try Again")->triggerClick(); },
          Answer::tryAgain },
        { "Quit Without Saving clicked",
          [&] (juce::Component& box) { button (box, "Quit Without Saving")->triggerClick(); },
          Answer::quitWithoutSaving },
        { "Return", [] (juce::Component& box) { box.keyPressed (juce::KeyPress (juce::KeyPress::returnKey)); },
          Answer::tryAgain },
        { "Q", [] (juce::Component& box) { box.keyPressed (juce::KeyPress ('q')); }, Answer::quitWithoutSaving },
    };
    const test::OneScreen screen; // the box measures it
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto box = LibraryQuitSaves::makeQuestion ({ "The song database could not be saved (full)." });
        ASSERT_NE (button (*box, "Try Again"), nullptr);
        ASSERT_NE (button (*box, "Quit Without Saving"), nullptr);
        juce::Component& component = *box;
        test::ModalRun run (component);

        component.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
        component.userTriedToCloseWindow();
        EXPECT_FALSE (run.closed (200)) << "the question went without an answer";
        EXPECT_TRUE (box->isCurrentlyModal());

        c.answer (component);
        ASSERT_TRUE (run.closed());
        EXPECT_EQ (LibraryQuitSaves::answerOf (*run.result()), c.expected);
    }
}
