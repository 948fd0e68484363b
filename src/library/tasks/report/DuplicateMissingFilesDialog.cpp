#include "library/tasks/report/DuplicateMissingFilesDialog.h"

#include "library/tasks/report/ReportStyle.h"

namespace zund
{
DuplicateMissingFilesDialog::DuplicateMissingFilesDialog()
{
    for (auto* button : { &removeButton, &cancelButton })
    {
        button->addListener (this);
        addAndMakeVisible (button);
    }
    addAndMakeVisible (list);
    setUpReportHeading (explanation,
                        "The following filenames were located in the selected directory, but they were already in "
                        "the database. To avoid duplicate entries in the database, Zund did not add them. It is "
                        "highly recommended to remove these files from the list of missing files.");
    addAndMakeVisible (explanation);
}

DuplicateMissingFilesDialog::~DuplicateMissingFilesDialog()
{
    removeButton.removeListener (this);
    cancelButton.removeListener (this);
}

int DuplicateMissingFilesDialog::show (const juce::StringArray& duplicatePaths)
{
    auto dialog = std::make_unique<DuplicateMissingFilesDialog>();
    dialog->getList().setText (duplicatePaths.joinIntoString ("\n") + "\n");

    auto area = juce::Rectangle<int> (1022, 730);
    if (const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        area = display->userArea;
    dialog->setSize (juce::jmax (200, area.getWidth() - 40), juce::jmax (150, area.getHeight() - 80));

    return runReportDialog (std::move (dialog), "Warning!", juce::Colours::black, true);
}

void DuplicateMissingFilesDialog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
}

void DuplicateMissingFilesDialog::resized()
{
    const int w = getWidth(), h = getHeight();
    const int innerWidth = juce::roundToInt (w * 0.9794);
    removeButton.setBounds (8, h - 35, w - 172, 24);
    cancelButton.setBounds (w - 156, h - 35, 150, 24);
    list.setBounds (8, 48, innerWidth, h - 91);
    explanation.setBounds (8, 8, innerWidth, 32);
}

void DuplicateMissingFilesDialog::buttonClicked (juce::Button* button)
{
    if (auto* modal = juce::Component::getCurrentlyModalComponent())
        modal->exitModalState (button == &removeButton ? removeMissingRecords : cancelled);
}
}
