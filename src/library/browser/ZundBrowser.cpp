#include "library/browser/ZundBrowser.h"

#include "common/GfxImages.h"
#include "common/files/ProgramFolder.h"
#include "library/browser/HolderComponent.h"
#include "library/browser/ID3ViewComponent.h"
#include "library/browser/MagnifyingGlassButton.h"
#include "library/browser/ResizerComponent.h"
#include "library/browser/SongSearch.h"
#include "library/browser/TextEditorEx.h"
#include "library/browser/ZundBrowserListener.h"
#include "library/browser/ZundBrowserVolumesChangedNotifierThread.h"
#include "library/database/DatabaseSaveSource.h"
#include "library/database/ID3DataBase.h"
#include "library/database/LibraryAutoSaver.h"
#include "library/tasks/DatabaseTasks.h"
#include "library/tree/TreeFileSaveSource.h"
#include "library/tree/ZundFileTreeComponent.h"

namespace zund
{
namespace
{
struct SearchFieldItem
{
    const char* menuName;
    int id;
    bool ticked;
    const char* fieldName;
};

const SearchFieldItem searchFieldItems[] = { { "Path", 1, false, "path" },    { "Filename", 2, true, "filename" },
                                             { "Artist", 3, true, "artist" }, { "Album", 4, true, "album" },
                                             { "Song", 5, true, "song" },     { "Genre", 6, true, "genre" },
                                             { "Label", 7, true, "label" } };

const char* const iconFiles[] = { "browserCASES.png", "browserALL.png", "browserFOLDER.png",
                                  "browserCDROM.png", "browserHD.png",  "browserRemovableDrive.png" };
}

ZundBrowser::ZundBrowser()
{
    database = std::make_unique<ID3DataBase> (getApplicationFolderFile ("database.xml"));

    table = std::make_unique<ID3ViewComponent> (database.get());
    table->setRowHeight (16);
    table->setHeaderHeight (20);
    table->setColour (juce::ListBox::backgroundColourId, background); // the rows' light text needs a dark ground
    addAndMakeVisible (*table);

    tree = std::make_unique<ZundFileTreeComponent> (getApplicationFolderFile ("TreeView.xml"), table.get(), database.get());
    for (int i = 0; i < ZundFileTreeComponent::numIcons; ++i)
        tree->setIcon (i, loadGfxImage (iconFiles[i]));
    addAndMakeVisible (*tree);

    table->setTree (tree.get());
    table->setListener (this);

    runStartupConsistencyCheck();

    // From now on changes reach the disk within seconds, not only at the end.
    autoSaver = std::make_unique<LibraryAutoSaver> (
        std::vector<LibraryAutoSaver::Source> { makeDatabaseSaveSource (*database), makeTreeFileSaveSource (*tree) });

    resizer = std::make_unique<ResizerComponent>();
    resizer->setListener (this);
    addAndMakeVisible (*resizer);

    holder = std::make_unique<HolderComponent>();
    addAndMakeVisible (*holder);

    searchField = std::make_unique<TextEditorEx>();
    searchField->setFont (juce::Font (14.0f, juce::Font::bold));
    searchField->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xff05123b).darker (0.8f));
    searchField->setColour (juce::TextEditor::highlightColourId, juce::Colours::orange);
    searchField->setColour (juce::TextEditor::textColourId, juce::Colour (0xfff0f0f0));
    searchField->addListener (this);
    holder->addAndMakeVisible (*searchField);

    for (const auto& item : searchFieldItems)
        fieldMenu.addItem (item.menuName, item.id, item.ticked);
    fieldMenu.addChangeListener (this);

    scanningLabel.setColour (juce::Label::textColourId, juce::Colour (0xff808080));
    addChildComponent (scanningLabel);
    filesFoundLabel.setColour (juce::Label::textColourId, juce::Colours::white);
    filesFoundLabel.setJustificationType (juce::Justification::centredRight);
    addAndMakeVisible (filesFoundLabel);

    findButton = std::make_unique<MagnifyingGlassButton> (this);
    holder->addAndMakeVisible (*findButton);

    setOpaque (true);

    // The file keeps the tree's own width, which is the column less its gap.
    if (tree->getLastWidth() > 0)
        leftColumnWidth = tree->getLastWidth() + 2;

    driveWatcher = std::make_unique<ZundBrowserVolumesChangedNotifierThread>();
    driveWatcher->addChangeListener (this);
    driveWatcher->startThread (juce::Thread::Priority::low);
}

ZundBrowser::~ZundBrowser()
{
    autoSaver.reset(); // a write under way ends before the saves at the end
    driveWatcher->stopThread (-1);
    driveWatcher->removeChangeListener (this);
    driveWatcher.reset();

    fieldMenu.removeChangeListener (this);
    table->setListener (nullptr);
    table->stopWorker();
    tree.reset(); // writes "TreeView.xml", with the table's header
    table.reset();
    findButton.reset();
    searchField.reset();
    holder.reset();
    resizer.reset();
    database.reset(); // writes "database.xml" when it changed
}

//==============================================================================
juce::String ZundBrowser::getSelectedFile() const
{
    return table->getSelectedFile();
}

void ZundBrowser::runStartupConsistencyCheck()
{
    checkConsistency (*database, tree->getSongFolders());
}

void ZundBrowser::markSelectedSongLoaded()
{
    table->markSelectedRowLoaded();
}

void ZundBrowser::addToCurrentPlaylist (const juce::String& path)
{
    tree->addToCurrentPlaylist (path);
}

juce::String ZundBrowser::getStartupWarning() const
{
    juce::StringArray problems;
    problems.add (database->getLoadProblem());
    problems.add (tree->getLoadWarning());
    problems.removeEmptyStrings();
    return problems.joinIntoString ("\n\n");
}

void ZundBrowser::setSaveFailureHandler (std::function<void (const juce::String&)> handler)
{
    database->setSaveFailureHandler (handler);
    tree->setSaveFailureHandler (handler);
}

void ZundBrowser::setRunningSaveFailureHandler (std::function<void (const juce::String&)> handler)
{
    if (autoSaver != nullptr)
        autoSaver->setFailureHandler (std::move (handler));
}

juce::StringArray ZundBrowser::saveLibraryNow()
{
    if (autoSaver != nullptr)
        autoSaver->stop(); // nothing writes beside these saves, nor reports after them

    juce::StringArray reasons;
    if (! database->save())
        reasons.add (database->getLastSaveError());
    juce::String error;
    if (tree->hasUnsavedChanges() && ! tree->saveTree (error))
        reasons.add (error);
    return reasons;
}

void ZundBrowser::forgetUnsavedChanges()
{
    database->forgetUnsavedChanges();
    tree->forgetUnsavedChanges();
}

//==============================================================================
void ZundBrowser::cellClicked (StringTableListBox*, int row, int columnId, const juce::MouseEvent& e)
{
    if (e.mods.isRightButtonDown())
    {
        // The tag editor opens once the click is over, on the song that was
        // clicked: the worker's sort may have moved the rows by then.
        SafePointer<ZundBrowser> safeThis (this);
        juce::MessageManager::callAsync ([safeThis, row, columnId, path = table->getFullPathOfRow (row)] {
            if (safeThis != nullptr)
                if (const int rowNow = safeThis->table->findRowOfFile (path, row); rowNow >= 0)
                    safeThis->table->editTag (columnId, rowNow);
        });
        return;
    }
    if (listener != nullptr)
        listener->browserItemSelected (getSelectedFile());
}

void ZundBrowser::cellDoubleClicked (StringTableListBox*, int, int, const juce::MouseEvent& e)
{
    if (! e.mods.isRightButtonDown() && listener != nullptr)
        listener->songChosen (getSelectedFile());
}

void ZundBrowser::workingStateChanged (bool isWorking)
{
    scanningLabel.setVisible (isWorking);
}

void ZundBrowser::numRowsChanged (int numRows)
{
    filesFoundLabel.setText ("Files: " + juce::String (numRows) + "/" + juce::String (database->getNumEntries()),
                             juce::dontSendNotification);
}

void ZundBrowser::textEditorTextChanged (juce::TextEditor& editor)
{
    table->setSearchWords (SongSearch::splitWords (editor.getText()));
}

void ZundBrowser::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    table->grabKeyboardFocus();
}

void ZundBrowser::exComponentValueChanged (ExComponent* widget)
{
    if (widget != findButton.get() || ! widget->isOn())
        return;

    SafePointer<ZundBrowser> safeThis (this);
    juce::MessageManager::callAsync ([safeThis] {
        if (safeThis != nullptr)
            safeThis->fieldMenu.showAtMousePosition();
    });
}

void ZundBrowser::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == driveWatcher.get())
    {
        tree->refreshRoots();
    }
    else if (source == &fieldMenu)
    {
        updateSearchFields();
        searchForFieldText();
    }
}

void ZundBrowser::updateSearchFields()
{
    for (const auto& item : searchFieldItems)
        table->setSearchField (item.fieldName, fieldMenu.isChecked (item.id));
}

void ZundBrowser::searchForFieldText()
{
    table->setSearchWords (SongSearch::splitWords (searchField->getText()));
}

void ZundBrowser::resizerMoved (ResizerComponent* movedResizer)
{
    leftColumnWidth = movedResizer->getX();
    resized();
}

void ZundBrowser::updateColours()
{
    table->setColour (juce::ListBox::backgroundColourId, background);
    repaint();
}

//==============================================================================
void ZundBrowser::paint (juce::Graphics& g)
{
    g.fillAll (background);
}

void ZundBrowser::resized()
{
    const int w = getWidth();
    const int h = getHeight();

    // An older tree file, or a narrower window than last time, must not leave
    // either side unusable.
    const int maxColumn = juce::jmax (minimumColumnWidth, w - splitterWidth - minimumTableWidth);
    resizer->setLimits (minimumColumnWidth, maxColumn);
    leftColumnWidth = juce::jlimit (minimumColumnWidth, maxColumn, leftColumnWidth);
    const int L = leftColumnWidth;

    holder->setBounds (0, 0, L, searchRowHeight);
    findButton->setBounds (3, 2, 20, 20);
    searchField->setBounds (27, 2, L - 29, 22);

    tree->setBounds (0, searchRowHeight + 1, L - 2, h - statusHeight - (searchRowHeight + 1));
    resizer->setBounds (L, 0, splitterWidth, h);
    table->setBounds (L + splitterWidth, 0, w - L - splitterWidth, h);

    if (workingLabelWidth == 0)
        workingLabelWidth = scanningLabel.getFont().getStringWidth (scanningLabel.getText()) + 10;
    scanningLabel.setBounds (0, h - statusHeight, workingLabelWidth, statusHeight);
    filesFoundLabel.setBounds (workingLabelWidth, h - statusHeight, juce::jmax (L - workingLabelWidth, 1), statusHeight);
}

bool ZundBrowser::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();
    if (! (mods.isCtrlDown() || mods.isAltDown() || mods.isCommandDown())
        && juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) key.getKeyCode()) == 'f')
    {
        searchField->grabKeyboardFocus();
        return true;
    }

    if (searchField->hasKeyboardFocus (true)
        && (key.isKeyCode (juce::KeyPress::upKey) || key.isKeyCode (juce::KeyPress::downKey)))
        return table->keyPressed (key);

    return listener != nullptr && listener->browserKeyPressed (key);
}
}
