#include "ui/colours/ZundColourSelector.h"

#include "common/text/NumberText.h"
#include "common/files/ProgramFolder.h"
#include "common/xml/SafeXmlReader.h"
#include "common/files/UserFiles.h"

namespace zund
{
namespace
{
// Fifty entries at well under a hundred bytes each.
const XmlLimits schemeLimits { 64 << 10, 4 };

/** "Value": one to eight hexadecimal digits of ARGB. Anything else is not a
    colour, and must not turn the entry black or transparent. */
bool readColourValue (const juce::XmlElement& entry, juce::Colour& colour)
{
    const auto text = entry.getStringAttribute ("Value").trim();
    if (text.isEmpty() || text.length() > 8 || ! text.containsOnly ("0123456789abcdefABCDEF"))
        return false;
    colour = juce::Colour ((juce::uint32) text.getHexValue32());
    return true;
}
}

ZundColourSelector::ZundColourSelector()
    : picker (juce::ColourSelector::showAlphaChannel | juce::ColourSelector::showColourAtTop
                  | juce::ColourSelector::showSliders | juce::ColourSelector::showColourspace,
              4, 7)
{
    entryList.setEditableText (false);
    entryList.setJustificationType (juce::Justification::centredLeft);
    entryList.setTextWhenNothingSelected ({});
    entryList.setTextWhenNoChoicesAvailable ("(no choices)");
    entryList.addListener (this);

    for (auto* button : { &copyButton, &pasteButton, &resetButton, &loadButton, &saveButton })
    {
        button->addListener (this);
        addAndMakeVisible (button);
    }
    addAndMakeVisible (picker);
    addAndMakeVisible (entryList);

    setSize (defaultWidth, defaultHeight);
    picker.addChangeListener (this);
    pasteButton.setEnabled (false); // until something was copied
}

ZundColourSelector::~ZundColourSelector()
{
    picker.removeChangeListener (this);
}

void ZundColourSelector::addColour (const juce::String& name, int id, juce::Colour* variable)
{
    if (id == 0 || entries.count (id) != 0)
        return; // the list's ids must be unique, and 0 means "nothing"

    entries[id] = variable;
    entryList.addItem (name, id);
    if (entryList.getNumItems() == 1)
        entryList.setSelectedId (id, juce::sendNotificationSync);
}

void ZundColourSelector::addSeparator()
{
    entryList.addSeparator();
}

juce::Colour* ZundColourSelector::getVariable (int id) const
{
    const auto found = entries.find (id);
    return found != entries.end() ? found->second : nullptr;
}

//==============================================================================
bool ZundColourSelector::loadColourScheme (const juce::File& file, juce::String* error)
{
    const auto result = readXmlFileAfterPreamble (file, schemeLimits);
    if (error != nullptr)
        *error = result.error;
    if (! result.parsed())
        return false;

    // Whatever the root and its children are called: every (Id, Value) counts.
    for (auto* entry : result.root->getChildIterator())
    {
        auto* variable = getVariable (parseWholeNumber (entry->getStringAttribute ("Id")));
        juce::Colour colour;
        if (variable != nullptr && readColourValue (*entry, colour))
            *variable = colour;
    }

    showCurrentInPicker();
    sendSynchronousChangeMessage();
    return true;
}

std::unique_ptr<juce::XmlElement> ZundColourSelector::createSchemeXml() const
{
    auto root = std::make_unique<juce::XmlElement> (rootName);
    for (int i = 0; i < entryList.getNumItems(); ++i) // list order; separators are not items
    {
        const int id = entryList.getItemId (i);
        auto* entry = root->createNewChildElement ("Colour");
        entry->setAttribute ("Id", id);
        if (auto* variable = getVariable (id))
            entry->setAttribute ("Value", variable->toString()); // "ff303030", "0" for transparent black
    }
    return root;
}

bool ZundColourSelector::saveColourScheme (const juce::File& file, juce::String* error) const
{
    // The declaration only: a document-type line before the root would make the
    // file unreadable.
    return writeXmlFileSafely (file, *createSchemeXml(), error);
}

juce::File ZundColourSelector::getSchemeFolder()
{
    auto folder = getApplicationFolderFile ("ColourSchemes");
    if (! folder.isDirectory())
        folder.createDirectory();
    return folder;
}

juce::File ZundColourSelector::getBaseSchemeFile()
{
    return getApplicationFolderFile ("baseColourScheme.def");
}

juce::File ZundColourSelector::getUserColoursFile()
{
    return getApplicationFolderFile ("defaultColours.xml");
}

//==============================================================================
void ZundColourSelector::resized()
{
    picker.setBounds (8, 40, 504, 336);
    entryList.setBounds (8, 8, 360, 24);
    copyButton.setBounds (384, 8, 56, 24);
    pasteButton.setBounds (448, 8, 64, 24);
    resetButton.setBounds (8, 384, 224, 24);
    loadButton.setBounds (244, 384, 128, 24);
    saveButton.setBounds (384, 384, 128, 24);
}

void ZundColourSelector::showCurrentInPicker()
{
    if (current != nullptr)
        picker.setCurrentColour (*current, juce::dontSendNotification);
}

void ZundColourSelector::comboBoxChanged (juce::ComboBox*)
{
    current = getVariable (entryList.getSelectedId());
    showCurrentInPicker();
}

void ZundColourSelector::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source != &picker || current == nullptr)
        return;
    *current = picker.getCurrentColour();
    sendSynchronousChangeMessage();
}

void ZundColourSelector::buttonClicked (juce::Button* button)
{
    if (button == &copyButton)
    {
        if (current != nullptr)
        {
            clipboard = *current;
            pasteButton.setEnabled (true);
        }
    }
    else if (button == &pasteButton)
    {
        if (pasteButton.isEnabled() && current != nullptr)
        {
            // Told here rather than through the picker, which says nothing when
            // it already shows the pasted colour.
            *current = clipboard;
            showCurrentInPicker();
            sendSynchronousChangeMessage();
        }
    }
    else if (button == &resetButton)
    {
        loadColourScheme (getBaseSchemeFile());
    }
    else if (button == &loadButton)
    {
        askForFile (false, [safeThis = SafePointer<ZundColourSelector> (this)] (const juce::File& chosen) {
            if (safeThis != nullptr && chosen != juce::File())
                safeThis->loadColourScheme (chosen.withFileExtension (schemeExtension));
        });
    }
    else if (button == &saveButton)
    {
        askForFile (true, [safeThis = SafePointer<ZundColourSelector> (this)] (const juce::File& chosen) {
            if (safeThis == nullptr || chosen == juce::File())
                return;
            // The question is about the file that will be written, extension and all.
            const auto file = chosen.withFileExtension (schemeExtension);
            saveAfterAsking (file, safeThis->replaceQuestion, [safeThis, file] {
                if (safeThis != nullptr)
                    safeThis->schemeChosenToSave (file);
            });
        });
    }
}

void ZundColourSelector::schemeChosenToSave (const juce::File& file)
{
    juce::String error;
    if (! saveColourScheme (file, &error))
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, "Zund2",
                                                "Couldn't save the Colour Scheme!\n\n" + error);
}

void ZundColourSelector::askForFile (bool saving, std::function<void (const juce::File&)> answer)
{
    if (fileQuestion)
    {
        fileQuestion (saving, std::move (answer));
        return;
    }

    // Loading uses the framework's own browser, saving the system's dialog where there is one.
    chooser = std::make_unique<juce::FileChooser> (saving ? "Please enter filename for Colour Scheme !"
                                                          : "Please choose Colour Scheme to load!",
                                                   getSchemeFolder(), schemePattern, saving);
    // No overwrite warning here: it would see the name before the extension is applied.
    const int flags = saving ? juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                             : juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles;
    chooser->launchAsync (flags, [answer] (const juce::FileChooser& fc) { answer (fc.getResult()); });
}
}
