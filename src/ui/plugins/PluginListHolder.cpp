#include "ui/plugins/PluginListHolder.h"

#include "common/files/ProgramFolder.h"
#include "common/xml/SafeXmlReader.h"
#include "common/files/UserFiles.h"
#include "ui/plugins/PluginDescriptionXml.h"

#include <iostream>

namespace zund
{
namespace
{
// A few hundred plug-ins at well under a kilobyte each.
const XmlLimits listLimits { 8 << 20, 6 };
// A handful of scanner settings (search paths), each a value of the root.
const XmlLimits propertiesLimits { 1 << 20, 8 };
// The root element the framework's properties file writes and reads.
const char* const propertiesRootTag = "PROPERTIES";

juce::File pluginListFile()
{
    return getApplicationFolderFile (PluginListHolder::listFileName);
}

/** Moves an unreadable file out of the way, so that what is written at exit
    cannot replace it; false when it could not be moved. */
bool setFileAside (const juce::File& file, const juce::String& reason)
{
    const auto aside = keepFileAside (file);
    if (aside == juce::File())
    {
        std::cerr << "Zund: " << file.getFileName() << " could not be read (" << reason
                  << ") nor moved aside" << std::endl;
        return false;
    }
    std::cerr << "Zund: " << file.getFileName() << " could not be read (" << reason << "); kept as "
              << aside.getFileName() << std::endl;
    return true;
}

/** The scanner's settings file, for the framework's properties file, which
    parses whatever it is given itself (an external document type included):
    it only ever sees a file that the safe reader accepts. An unreadable one is
    set aside; when even that fails the settings live for this run only. */
juce::File checkedPropertiesFile()
{
    const auto file = getApplicationFolderFile (PluginListHolder::propertiesFileName);
    const auto result = readXmlFileSafely (file, propertiesLimits);
    if (result.missing || (result.parsed() && result.root->hasTagName (propertiesRootTag)))
        return file;

    const auto reason = result.parsed() ? juce::String ("not a settings file") : result.error;
    return setFileAside (file, reason) ? file : juce::File();
}

juce::PropertiesFile::Options propertiesOptions()
{
    juce::PropertiesFile::Options options;
    options.storageFormat = juce::PropertiesFile::storeAsXML;
    options.millisecondsBeforeSaving = 10;
    return options;
}

bool isOffered (const juce::PluginDescription& type, bool instruments)
{
    if (instruments)
        return type.isInstrument;
    return ! type.isInstrument && type.numInputChannels >= 2 && type.numOutputChannels >= 2;
}

class PluginsDialogContent : public juce::Component
{
public:
    explicit PluginsDialogContent (juce::Component& listToShow) : list (listToShow)
    {
        addAndMakeVisible (list);
        setSize (600, 500);
    }

    ~PluginsDialogContent() override { removeChildComponent (&list); } // the holder keeps the list

    void paint (juce::Graphics& g) override { g.fillAll (juce::Colours::white); }
    void resized() override { list.setBounds (getLocalBounds()); }

private:
    juce::Component& list;
};
}

PluginListHolder::PluginListHolder()
{
    formatManager.addDefaultFormats(); // VST3 and LV2 on this platform
    loadPluginList();
    properties = std::make_unique<juce::PropertiesFile> (checkedPropertiesFile(), propertiesOptions());
    listComponent = std::make_unique<juce::PluginListComponent> (formatManager, knownList, juce::File(),
                                                                 properties.get());
}

PluginListHolder::~PluginListHolder()
{
    savePluginList();
    listComponent.reset();
    properties.reset();
}

void PluginListHolder::loadPluginList()
{
    const auto file = pluginListFile();
    const auto result = readXmlFileSafely (file, listLimits);
    if (result.parsed())
    {
        PluginDescriptionXml::readKnownList (*result.root, knownList);
        return;
    }
    // One that cannot be moved aside is not written over either.
    if (! result.missing)
        listFileKept = ! setFileAside (file, result.error);
}

bool PluginListHolder::savePluginList() const
{
    if (listFileKept)
        return false;

    auto xml = knownList.createXml();
    if (xml == nullptr)
        return false;

    // No document type: the safe reader takes none.
    juce::String error;
    if (writeXmlFileSafely (pluginListFile(), *xml, &error))
        return true;
    std::cerr << "Zund: " << listFileName << " was not written: " << error << std::endl;
    return false;
}

void PluginListHolder::showPluginsDialog()
{
    PluginsDialogContent content (*listComponent);
    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (&content);
    options.dialogTitle = "Plugins";
    options.dialogBackgroundColour = juce::Colours::white;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = false;
    options.resizable = true;
    options.useBottomRightCornerResizer = true;
    options.runModal();
}

void PluginListHolder::scanForPlugins()
{
    for (auto* format : formatManager.getFormats())
    {
        const auto path = juce::PluginListComponent::getLastSearchPath (*properties, *format);
        juce::PluginDirectoryScanner scanner (knownList, *format, path, true, juce::File());
        juce::String name;
        while (scanner.scanNextFile (true, name))
        {
        }
    }
}

juce::Array<juce::PluginDescription> PluginListHolder::getOfferedTypes (bool instruments) const
{
    juce::Array<juce::PluginDescription> offered;
    for (const auto& type : knownList.getTypes())
        if (isOffered (type, instruments))
            offered.add (type);
    return offered;
}

std::unique_ptr<juce::AudioPluginInstance> PluginListHolder::choosePluginFromMenu (bool instruments, bool& noneChosen,
                                                                                   double sampleRate, int blockSize,
                                                                                   const MenuRunner& runMenu,
                                                                                   juce::String& error)
{
    noneChosen = false;
    const auto offered = getOfferedTypes (instruments);

    juce::PopupMenu menu;
    menu.addItem (noPluginItemId, "[ NO PLUGIN ]");
    juce::KnownPluginList::addToMenu (menu, offered, juce::KnownPluginList::sortAlphabetically);

    const int result = runMenu (menu);
    if (result == noPluginItemId)
    {
        noneChosen = true;
        return nullptr;
    }

    const int index = juce::KnownPluginList::getIndexChosenByMenu (offered, result);
    if (index < 0)
        return nullptr; // dismissed

    return formatManager.createPluginInstance (offered.getReference (index), sampleRate, blockSize, error);
}
}
