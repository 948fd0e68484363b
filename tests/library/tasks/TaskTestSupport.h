#pragma once

#include "library/database/ID3DataBase.h"
#include "library/tasks/TaskProgress.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace zund::test
{
/** Stands in for the progress window: keeps every status, and cancels once
    the condition holds (asked at each cancel test). */
class RecordingProgress : public TaskProgress
{
public:
    explicit RecordingProgress (std::function<bool (const RecordingProgress&)> cancelWhen = {})
        : cancelCondition (std::move (cancelWhen)) {}

    void showStatus (const juce::String& text) override { statuses.add (text); }
    void showProgress (double fraction) override { progress.push_back (fraction); }
    bool isCancelled() const override
    {
        ++cancelTests;
        return cancelCondition != nullptr && cancelCondition (*this);
    }

    /** Cancels at the n-th cancel test (from 1). */
    static RecordingProgress cancellingAt (int n)
    {
        return RecordingProgress ([n] (const RecordingProgress& p) { return p.cancelTests >= n; });
    }

    juce::StringArray statuses;
    std::vector<double> progress;
    mutable int cancelTests = 0;

private:
    std::function<bool (const RecordingProgress&)> cancelCondition;
};

/** A short 16-bit WAV file (made with its folders), `frames` long at 8000 Hz. */
juce::File writeSmallWav (const juce::File& file, int frames = 800);

/** A stored record for a path, with an artist to tell it by. */
std::unique_ptr<ID3DataBaseEntry> makeStoredRecord (const juce::String& path, const juce::String& artist = {});

/** A copy of the record at a path, taken under the lock; none when there is none. */
std::optional<ID3DataBaseEntry> recordAt (const ID3DataBase& database, const juce::String& path);

/** The record's artist at a path; "<none>" when there is no record. */
juce::String artistAt (const ID3DataBase& database, const juce::String& path);

/** A database in a temporary folder. */
class DatabaseTest : public ::testing::Test
{
protected:
    TempFolder temp;
    ID3DataBase database { temp.file ("database.xml") };
};
}
