#pragma once

#include "library/tasks/report/ConsistencyReportModel.h"
#include "library/tasks/report/ReportList.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>

namespace zund
{
/** The report after the start-up check: the missing records and the new or
    changed files, with their repairs (remove, locate, rescan) and the way on to
    the program. */
class ConsistencyCheckReportComponent : public juce::Component, private juce::Button::Listener
{
public:
    explicit ConsistencyCheckReportComponent (ConsistencyReportModel& model);
    ~ConsistencyCheckReportComponent() override;

    /** Shows the report in its modal "Consistency Check Report" window and returns
        when the user has gone on. */
    static void show (ConsistencyReportModel& model);

    /** Asks for a folder and looks for the missing files there. */
    void locateFiles (bool withSubfolders);

    /** Looks for the missing files in the folder; lists what was found at paths the
        database already knows in the "Warning!" dialog. */
    void locateFilesIn (const juce::File& folder, bool withSubfolders);

    const ReportList& getMissingList() const noexcept { return missingList; }
    const ReportList& getScanList() const noexcept { return scanList; }

    void paint (juce::Graphics& g) override;

private:
    void buttonClicked (juce::Button* button) override;
    std::array<juce::Button*, 5> getButtons() noexcept;
    void runAfterClick (std::function<void()> action);
    void fillMissingList();
    void fillScanList();

    ConsistencyReportModel& model;
    juce::File lastLocateFolder;

    ReportList missingList;
    juce::Label missingHeading;
    juce::TextButton removeButton { "Remove these files from Database" };
    juce::TextButton locateButton { "Locate files" };
    ReportList scanList;
    juce::Label scanHeading;
    juce::TextButton rescanButton { "(Re)scan these files now!" };
    juce::TextButton continueButton { "--> Continue to Zund!" };
    juce::ToggleButton subfolderToggle { "Also seek in subdirectories for Locate" };

    // The toggle's own look: black text on the report's white.
    juce::LookAndFeel_V2 plainLook;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ConsistencyCheckReportComponent)
};
}
