#include "app/main/MainComponent.h"

#include "common/files/AudioFileTypes.h"
#include "library/browser/ID3ViewComponent.h"
#include "library/browser/StringTableRow.h"
#include "library/browser/ZundBrowser.h"
#include "ui/dialogs/LoadFileComponent.h"
#include "ui/dialogs/WarningNotice.h"

#include <iostream>

namespace zund
{
void MainComponent::createBrowser()
{
    browser = new ZundBrowser();
    browser->setListener (this);
    // The saves in the shut-down come after the quit's own saves (which ask)
    // only for what changed since, or when the program was ended without them:
    // a box may no longer get the chance to show, so the reason goes to the
    // error stream as well.
    browser->setSaveFailureHandler ([] (const juce::String& reason) {
        std::cerr << "Zund: " << reason << std::endl;
        juce::AlertWindow::showMessageBox (juce::MessageBoxIconType::WarningIcon, "Zund2", reason);
    });
    // A save during the set that fails is told once, without taking the mixer
    // from the user.
    browser->setRunningSaveFailureHandler ([] (const juce::String& reasons) {
        std::cerr << "Zund: " << reasons << std::endl;
        WarningNotice::show ("Zund2", reasons + "\n\nZund keeps the changes and tries again every minute, "
                                                "and once more at quit.");
    });
    addAndMakeVisible (browser);
}

ID3DataBase* MainComponent::getDatabase() const
{
    return browser != nullptr ? browser->getDatabase() : nullptr;
}

void MainComponent::browserItemSelected (juce::String)
{
}

bool MainComponent::browserKeyPressed (const juce::KeyPress& key)
{
    if (! key.isKeyCode (juce::KeyPress::returnKey))
        return dispatcher.handleFunctionKey (key, preferences.getModel().useFunctionKeys);

    // Enter is always used, whether or not a song gets loaded.
    const auto path = browser->getSelectedFile();
    if (! juce::File::isAbsolutePath (path) || ! isSupportedAudioFile (juce::File (path)))
        return true;

    if (const int channel = loadFileDialog->chooseChannel(); channel >= 0)
        loadFileIntoDeck (path, channel);
    return true;
}

void MainComponent::markSongLoaded (const juce::String& path)
{
    // The rows of the loaded file (its record is marked already), not
    // whichever row is selected by the time the load ends.
    if (browser == nullptr)
        return;
    auto& table = browser->getSongTable();
    for (int row = 0; row < table.getRowCount(); ++row)
        if (table.getFullPathOfRow (row) == path)
            table.setRowState (row, StringTableRow::loadedInChannel);
    table.repaint();
}

void MainComponent::addToCurrentPlaylist (const juce::String& path)
{
    if (browser != nullptr)
        browser->addToCurrentPlaylist (path);
}
}
