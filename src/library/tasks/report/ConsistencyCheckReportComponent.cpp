#include "library/tasks/report/ConsistencyCheckReportComponent.h"

#include "library/tasks/report/DuplicateMissingFilesDialog.h"
#include "library/tasks/report/ReportStyle.h"

namespace zund
{
ConsistencyCheckReportComponent::ConsistencyCheckReportComponent (ConsistencyReportModel& reportModel)
    : model (reportModel)
{
    setUpReportHeading (missingHeading, "Files found in database not present on disk(s) - these files may have been "
                                        "deleted or may have been moved to another place:");
    setUpReportHeading (scanHeading, "Files needed to (re)scan (either they are new or have changed since last usage "
                                     "of Zund):");
    subfolderToggle.setLookAndFeel (&plainLook);
    subfolderToggle.setToggleState (true, juce::dontSendNotification);

    const std::pair<juce::Component*, juce::Rectangle<int>> layout[] {
        { &missingList, { 8, 24, 1000, 224 } },   { &missingHeading, { 5, 0, 1000, 24 } },
        { &removeButton, { 16, 256, 256, 24 } },  { &locateButton, { 288, 256, 160, 24 } },
        { &scanList, { 6, 318, 1000, 226 } },     { &scanHeading, { 3, 294, 1000, 24 } },
        { &rescanButton, { 8, 552, 256, 24 } },   { &continueButton, { 16, 608, 984, 24 } },
        { &subfolderToggle, { 456, 256, 320, 24 } }
    };
    for (const auto& [child, bounds] : layout)
    {
        addAndMakeVisible (child);
        child->setBounds (bounds);
    }
    for (auto* button : getButtons())
        button->addListener (this);

    setSize (1016, 640);
    fillMissingList();
    fillScanList();
}

ConsistencyCheckReportComponent::~ConsistencyCheckReportComponent()
{
    for (auto* button : getButtons())
        button->removeListener (this);
    subfolderToggle.setLookAndFeel (nullptr);
}

std::array<juce::Button*, 5> ConsistencyCheckReportComponent::getButtons() noexcept
{
    return { &removeButton, &locateButton, &rescanButton, &continueButton, &subfolderToggle };
}

void ConsistencyCheckReportComponent::show (ConsistencyReportModel& model)
{
    runReportDialog (std::make_unique<ConsistencyCheckReportComponent> (model), "Consistency Check Report",
                     juce::Colours::white, false);
}

void ConsistencyCheckReportComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
}

void ConsistencyCheckReportComponent::fillMissingList()
{
    missingList.setText (model.getMissingFilesText());
}

void ConsistencyCheckReportComponent::fillScanList()
{
    scanList.setText (model.getFilesToScanText());
}

void ConsistencyCheckReportComponent::buttonClicked (juce::Button* button)
{
    if (button == &removeButton)
    {
        model.removeMissingFiles();
        fillMissingList();
    }
    else if (button == &locateButton)
    {
        runAfterClick ([this] { locateFiles (subfolderToggle.getToggleState()); });
    }
    else if (button == &rescanButton)
    {
        runAfterClick ([this] {
            model.rescanFiles();
            fillScanList();
        });
    }
    else if (button == &continueButton)
    {
        if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
            window->exitModalState (0);
    }
}

void ConsistencyCheckReportComponent::runAfterClick (std::function<void()> action)
{
    // A chooser or progress window opened from inside the click would run its
    // modal loop in the middle of the button's mouse handling.
    juce::MessageManager::callAsync ([report = juce::Component::SafePointer<ConsistencyCheckReportComponent> (this),
                                      action = std::move (action)] {
        if (report != nullptr)
            action();
    });
}

void ConsistencyCheckReportComponent::locateFiles (bool withSubfolders)
{
    const auto start = lastLocateFolder.isDirectory() ? lastLocateFolder
                                                      : juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    juce::FileChooser chooser ("Please select directory where files might be located in ...", start, "*.*", true);
    if (! chooser.browseForDirectory())
        return;

    lastLocateFolder = chooser.getResult();
    locateFilesIn (lastLocateFolder, withSubfolders);
}

void ConsistencyCheckReportComponent::locateFilesIn (const juce::File& folder, bool withSubfolders)
{
    const auto result = model.locateFiles (folder, withSubfolders);
    fillMissingList();

    if (! result.duplicatePaths.isEmpty()
        && DuplicateMissingFilesDialog::show (result.duplicatePaths) == DuplicateMissingFilesDialog::removeMissingRecords)
    {
        model.removeMissingRecordsOf (result.duplicatePaths);
        fillMissingList();
    }
}
}
