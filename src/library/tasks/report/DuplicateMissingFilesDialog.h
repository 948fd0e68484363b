#pragma once

#include "library/tasks/report/ReportList.h"

namespace zund
{
/** Lists the files that locating found at paths the database already knows,
    and offers to take the missing records of those names off the database. */
class DuplicateMissingFilesDialog : public juce::Component, private juce::Button::Listener
{
public:
    DuplicateMissingFilesDialog();
    ~DuplicateMissingFilesDialog() override;

    enum Result
    {
        cancelled = 0,
        removeMissingRecords = 1
    };

    /** Shows the paths in the modal "Warning!" window sized to the main display;
        returns a Result. */
    static int show (const juce::StringArray& duplicatePaths);

    ReportList& getList() noexcept { return list; }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    void buttonClicked (juce::Button* button) override;

    juce::TextButton removeButton { "Remove these files from database" };
    juce::TextButton cancelButton { "Cancel" };
    ReportList list;
    juce::Label explanation;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DuplicateMissingFilesDialog)
};
}
