#pragma once

#include "library/browser/CheckBoxMenu.h"
#include "library/browser/ID3ViewComponentListener.h"
#include "library/browser/ResizerComponentListener.h"
#include "ui/widgets/ExComponentListener.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace zund
{
class HolderComponent;
class ID3DataBase;
class ID3ViewComponent;
class LibraryAutoSaver;
class MagnifyingGlassButton;
class ResizerComponent;
class TextEditorEx;
class ZundBrowserListener;
class ZundBrowserVolumesChangedNotifierThread;
class ZundFileTreeComponent;

/** The library's area of the main window: the search row, the folder tree and
    a status row on the left, a splitter, and the song table. Owns the song
    database ("database.xml") and the tree's file ("TreeView.xml"), both in the
    program folder. Reports clicked and chosen songs and the keys it does not
    use to its listener, and rebuilds the tree's drives when they change. */
class ZundBrowser : public juce::Component,
                    public ResizerComponentListener,
                    public juce::TextEditor::Listener,
                    public ID3ViewComponentListener,
                    public ExComponentListener,
                    public juce::ChangeListener
{
public:
    ZundBrowser();
    ~ZundBrowser() override;

    ID3DataBase* getDatabase() const noexcept { return database.get(); }
    /** The song table's selected song; empty when none. */
    juce::String getSelectedFile() const;
    void setListener (ZundBrowserListener* newListener) noexcept { listener = newListener; }

    /** After a channel load: the selected row takes the "loaded" colour. */
    void markSelectedSongLoaded();
    /** After a channel load: the file joins "Current Playlist". */
    void addToCurrentPlaylist (const juce::String& path);

    /** The panel's background, which the colour scheme edits in place. */
    juce::Colour& getBackgroundColour() noexcept { return background; }
    /** After a colour-scheme change: the song table's empty area takes the
        background too, and both repaint. */
    void updateColours();

    /** What could not be read at start-up ("database.xml", "TreeView.xml"), for a
        warning box; empty when all was well. */
    juce::String getStartupWarning() const;
    /** Called with the reason when the database or the tree file cannot be
        saved at the end. */
    void setSaveFailureHandler (std::function<void (const juce::String&)> handler);
    /** Called on the message thread with the reasons when a save while the
        program runs fails: once per file, not again until it has been saved. */
    void setRunningSaveFailureHandler (std::function<void (const juce::String&)> handler);

    /** The saves at quit, made while the user can still be asked about a
        failure: the saves while running end (waiting for one under way), then
        "database.xml" and "TreeView.xml" are written where they changed. The
        reasons of those that could not be; empty when all is on the disk. May
        be called again (after space was freed). */
    juce::StringArray saveLibraryNow();
    /** The user quits without saving: what could not be written is given up,
        and the end neither tries it again nor reports it. */
    void forgetUnsavedChanges();

    ID3ViewComponent& getSongTable() const noexcept { return *table; }
    ZundFileTreeComponent& getTree() const noexcept { return *tree; }
    TextEditorEx& getSearchField() const noexcept { return *searchField; }
    ResizerComponent& getResizer() const noexcept { return *resizer; }
    CheckBoxMenu& getFieldMenu() noexcept { return fieldMenu; }
    MagnifyingGlassButton& getFindButton() const noexcept { return *findButton; }
    juce::Label& getWorkingLabel() noexcept { return scanningLabel; }
    juce::Label& getFilesLabel() noexcept { return filesFoundLabel; }
    int getLeftColumnWidth() const noexcept { return leftColumnWidth; }

    static constexpr int statusHeight = 20;
    static constexpr int searchRowHeight = 26;
    static constexpr int splitterWidth = 6;
    static constexpr int minimumColumnWidth = 52; // the tree gets at least 50 pixels
    static constexpr int minimumTableWidth = 50;

    // ID3ViewComponentListener
    void cellClicked (StringTableListBox* source, int row, int columnId, const juce::MouseEvent& e) override;
    void cellDoubleClicked (StringTableListBox* source, int row, int columnId, const juce::MouseEvent& e) override;
    void workingStateChanged (bool isWorking) override;
    void numRowsChanged (int numRows) override;

    void textEditorTextChanged (juce::TextEditor& editor) override;
    void textEditorEscapeKeyPressed (juce::TextEditor& editor) override;
    void exComponentValueChanged (ExComponent* widget) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;
    void resizerMoved (ResizerComponent* resizer) override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress& key) override;

private:
    void updateSearchFields();
    void searchForFieldText();

    /** The consistency check of the database against the song folders, before
        the window is shown. */
    void runStartupConsistencyCheck();

    juce::Colour background { juce::Colours::black };
    int leftColumnWidth = 100;
    std::unique_ptr<ID3DataBase> database;
    std::unique_ptr<ID3ViewComponent> table;
    std::unique_ptr<ZundFileTreeComponent> tree;
    std::unique_ptr<HolderComponent> holder;
    std::unique_ptr<ResizerComponent> resizer;
    std::unique_ptr<TextEditorEx> searchField;
    std::unique_ptr<MagnifyingGlassButton> findButton;
    CheckBoxMenu fieldMenu;
    juce::Label scanningLabel { "ScanningLabel", "Working..." };
    juce::Label filesFoundLabel { "FilesFoundLabel", {} };
    int workingLabelWidth = 0;
    ZundBrowserListener* listener = nullptr;
    std::unique_ptr<ZundBrowserVolumesChangedNotifierThread> driveWatcher;
    std::unique_ptr<LibraryAutoSaver> autoSaver;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZundBrowser)
};
}
