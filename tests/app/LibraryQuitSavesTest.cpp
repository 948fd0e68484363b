// The library's saves at quit: a failure is put to the user, who tries again
// (after freeing space) as often as needed, or quits without saving; only then
// are the unsaved changes given up.

#include "app/LibraryQuitSaves.h"

#include <gtest/gtest.h>

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
