#include "ui/midi/MidiControlSurfaceManager.h"

#include "common/files/ProgramFolder.h"
#include "common/xml/SafeXmlReader.h"
#include "common/files/UserFiles.h"

namespace zund
{
namespace
{
// 16 x 128 controllers and notes at well under 100 bytes an entry.
const XmlLimits settingsLimits { 1 << 20, 4 };

const char* const fileRootName = "MidiControlSettings";
const char* const filePattern = "*.kms";
const char* const fileExtension = ".kms";
}

juce::File MidiControlSurfaceManager::getSettingsFolder()
{
    auto folder = getApplicationFolderFile (fileRootName);
    if (! folder.isDirectory())
        folder.createDirectory();
    return folder;
}

bool MidiControlSurfaceManager::loadSettingsFrom (const juce::File& file)
{
    // Older saves wrote a bare word between the XML declaration and the root.
    const auto result = readXmlFileAfterPreamble (file, settingsLimits);
    if (! result.parsed())
        return false;

    fromXml (result.root.get()); // an empty file empties the mapping: the user asked for it
    return true;
}

bool MidiControlSurfaceManager::saveSettingsTo (const juce::File& file, juce::String* error) const
{
    // The declaration only: anything between it and the root would make the
    // file unreadable.
    const auto root = toXml (fileRootName);
    return writeXmlFileSafely (file, *root, error);
}

void MidiControlSurfaceManager::openSettingsFile()
{
    askForFile (false, [this] (const juce::File& chosen) {
        if (chosen != juce::File())
            loadSettingsFrom (chosen.withFileExtension (fileExtension));
    });
}

void MidiControlSurfaceManager::saveSettingsFile()
{
    askForFile (true, [this] (const juce::File& chosen) {
        if (chosen == juce::File())
            return;
        // The question is about the file that will be written, extension and all.
        const auto file = chosen.withFileExtension (fileExtension);
        saveAfterAsking (file, replaceQuestion, [this, file] { saveChosenFile (file); });
    });
}

void MidiControlSurfaceManager::saveChosenFile (const juce::File& file)
{
    juce::String error;
    if (! saveSettingsTo (file, &error))
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, "Zund2",
                                                "Couldn't save the MIDI Control Settings!\n\n" + error);
}

void MidiControlSurfaceManager::askForFile (bool saving, std::function<void (const juce::File&)> answer)
{
    if (fileQuestion)
    {
        fileQuestion (saving, std::move (answer));
        return;
    }
    // No overwrite warning in the chooser: it would see the name before the extension is applied.
    chooser = std::make_unique<juce::FileChooser> (saving ? "Please enter filename for MIDI Control Settings!"
                                                          : "Please choose MIDI Control Settings to open!",
                                                   getSettingsFolder(), filePattern, saving);
    const int flags = saving ? juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                             : juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles;
    chooser->launchAsync (flags, [answer = std::move (answer)] (const juce::FileChooser& fc) { answer (fc.getResult()); });
}
}
