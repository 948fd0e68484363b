#pragma once

#include "library/browser/FileSystemRoots.h"
#include "library/tree/SubFolderLister.h"
#include "library/tree/TreeViewFile.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <optional>

namespace zund
{
class ID3DataBase;
class ID3ViewComponent;
class ZundFileTreeItem;

/** The browser's tree: "Database", "Cases/Playlists" with "Current Playlist"
    and the cases, "Song Folders", and the drives. Selecting an item shows it in
    the song table. Cases and song folders are edited through context menus and
    drops of song-table rows, and kept in "TreeView.xml" (written at the end).

    A worker thread (SubFolderLister) lists the sub-folders of an opened folder;
    their items are made and attached on the message thread. */
class ZundFileTreeComponent : public juce::TreeView,
                              public juce::ChangeListener,
                              public juce::ChangeBroadcaster
{
public:
    enum IconIndex
    {
        casesIcon = 0,
        databaseIcon,
        folderIcon,
        cdRomIcon,
        hardDiskIcon,
        removableIcon,
        numIcons
    };

    /** Builds the items and reads the tree file. */
    ZundFileTreeComponent (const juce::File& treeFile, ID3ViewComponent* table, ID3DataBase* database);
    /** Writes the tree file, unless saveTree already wrote what it holds (or
        was told to forget it). */
    ~ZundFileTreeComponent() override;

    juce::StringArray getSongFolders() const;
    /** The tree's width when the file was written (10 for an older file without
        it), 400 without a file. */
    int getLastWidth() const noexcept { return lastWidth; }
    /** Why the tree file could not be read; empty when it could. */
    const juce::String& getLoadWarning() const noexcept { return loadWarning; }

    void setIcon (int index, const juce::Image& image);
    const juce::Image& getIcon (int index) const;

    void addToCurrentPlaylist (const juce::String& path);

    /** The drives changed: their items are made again; everything else stays. */
    void refreshRoots();
    void refreshRoots (const std::vector<FileSystemRoot>& roots);

    ZundFileTreeItem* getDatabaseItem() const noexcept { return databaseItem; }
    ZundFileTreeItem* getCasesItem() const noexcept { return casesItem; }
    ZundFileTreeItem* getCurrentPlaylistItem() const noexcept { return currentPlaylistItem; }
    ZundFileTreeItem* getSongFoldersItem() const noexcept { return songFoldersItem; }
    ZundFileTreeItem* getSelectedTreeItem() const;

    //==============================================================================
    /** The item became selected: the song table shows it. */
    void showItemInTable (ZundFileTreeItem& item);
    void listSubFolders (ZundFileTreeItem* item, const juce::String& path);
    void rescanSongFolder (const juce::File& folder);
    /** With an empty name, the user names it and picks its folder; it stays
        only when both happen. */
    ZundFileTreeItem* addSongFolderItem (const juce::String& name, const juce::String& path);
    /** Asks for the song folder's folder; `done` learns whether one was set. */
    void chooseSongFolder (ZundFileTreeItem* item, std::function<void (bool)> done = {});
    /** A new case at the end, selected and given a name by the user. */
    ZundFileTreeItem* addCase();
    void renameItem (ZundFileTreeItem* item, std::function<void()> whenDone = {});
    void deleteSelectedItem();
    void copyTableToClipboard();
    void showMenu (ZundFileTreeItem* item);

    /** The rows dropped on a case: their files are appended, and the rows marked. */
    void songRowsDropped (ZundFileTreeItem& caseItem, ID3ViewComponent& source);

    /** The editor shown over an item that is being renamed (null when none). */
    juce::TextEditor* getRenameEditor() const noexcept { return renameEditor.get(); }
    void closeRenameEditor();

    /** Writes the tree file now; false (with the reason) when that failed or
        an unreadable file there must not be written over. */
    bool saveTree (juce::String& error);
    /** Whether the tree differs from what saveTree last wrote; true before it wrote. */
    bool hasUnsavedChanges() const;
    /** The user gave up what could not be written: the end writes only later changes. */
    void forgetUnsavedChanges();
    void setSaveFailureHandler (std::function<void (const juce::String&)> handler) { saveFailureHandler = std::move (handler); }

    /** For the saves while the program runs (message thread): what the tree
        file would hold now, where it goes and whether it may be written. */
    TreeViewFile getStateToSave() const { return currentState(); }
    const juce::File& getTreeFile() const noexcept { return treeFile; }
    bool mayWriteFile() const noexcept { return mayWriteTreeFile; }

    bool keyPressed (const juce::KeyPress& key) override;
    void changeListenerCallback (juce::ChangeBroadcaster* source) override;

private:
    void buildItems (const std::vector<FileSystemRoot>& roots);
    void addDriveItem (const FileSystemRoot& root, int index);
    void loadTree (const TreeViewFile& state);
    TreeViewFile currentState() const;
    void songFoldersChanged();
    void stopListing();
    void removeItem (ZundFileTreeItem* item);
    void deleteItem (ZundFileTreeItem* item, bool alsoRemoveFiles);
    void reselect (ZundFileTreeItem* item);
    void menuItemChosen (ZundFileTreeItem* item, int chosen);
    void songFolderChosen (ZundFileTreeItem* item, const juce::File& folder, std::function<void (bool)> done);
    /** The item is still in the tree (the answer to a question may come after
        it went). Compares pointers only: a deleted item is never looked into. */
    bool containsItem (const juce::TreeViewItem* item) const;
    /** The folder at an absolute path; no folder for anything else. */
    static juce::File folderOf (const juce::String& path);
    static bool isBelow (const juce::TreeViewItem* item, const juce::TreeViewItem* ancestor);
    void subFoldersListed (int listing, const juce::StringArray& names);

    // The scan of a song folder and the removal of its files from the database
    // run as modal tasks of the database.
    void scanSongFolderIntoDatabase (const juce::File& folder);
    void removeSongFolderFilesFromDatabase (const juce::File& folder);

    int lastWidth = TreeViewFile::widthWithoutFile;
    const juce::File treeFile;
    bool mayWriteTreeFile = true;
    juce::String loadWarning;
    ID3DataBase* database;
    ID3ViewComponent* table;

    std::unique_ptr<ZundFileTreeItem> rootItem;
    ZundFileTreeItem* databaseItem = nullptr;
    ZundFileTreeItem* casesItem = nullptr;
    ZundFileTreeItem* currentPlaylistItem = nullptr;
    ZundFileTreeItem* songFoldersItem = nullptr;

    // The listing under way: its worker, the item it fills and its number.
    std::unique_ptr<SubFolderLister> lister;
    ZundFileTreeItem* listingItem = nullptr;
    int listing = 0;

    std::unique_ptr<juce::TextEditor> renameEditor;
    ZundFileTreeItem* renamingItem = nullptr;
    std::unique_ptr<juce::FileChooser> folderChooser;
    juce::Image icons[numIcons];
    std::function<void (const juce::String&)> saveFailureHandler;
    std::optional<juce::uint64> savedFingerprint; // of what saveTree wrote (or was told to forget)

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZundFileTreeComponent)
};
}
