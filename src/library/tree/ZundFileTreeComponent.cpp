#include "library/tree/ZundFileTreeComponent.h"

#include "library/browser/AbandonedWorkers.h"
#include "library/browser/ID3ViewComponent.h"
#include "library/browser/SongTableColumns.h"
#include "library/database/ID3DataBase.h"
#include "library/tree/StoredHeaderLayout.h"
#include "library/tree/ZundFileTreeItem.h"

namespace zund
{
namespace
{
// How long the message thread waits for a listing to stop; one that takes
// longer (a hung network mount) is left to end on its own.
constexpr int listingStopTimeoutMs = 100;

// Far wider than any screen the table is shown on, yet summed they fit an int.
const HeaderWidthLimits songTableWidths { SongTableColumns::minimumWidth, 4000, 16000 };
}

juce::File ZundFileTreeComponent::folderOf (const juce::String& path)
{
    return juce::File::isAbsolutePath (path) ? juce::File (path) : juce::File();
}

bool ZundFileTreeComponent::isBelow (const juce::TreeViewItem* item, const juce::TreeViewItem* ancestor)
{
    for (; item != nullptr; item = item->getParentItem())
        if (item == ancestor)
            return true;
    return false;
}

ZundFileTreeComponent::ZundFileTreeComponent (const juce::File& file, ID3ViewComponent* songTable, ID3DataBase* db)
    : treeFile (file),
      database (db),
      table (songTable)
{
    setRootItemVisible (false);
    addChangeListener (this);
    buildItems (readFileSystemRoots());
    loadTree (TreeViewFile::read (treeFile, loadWarning, mayWriteTreeFile));
    songFoldersChanged();
}

ZundFileTreeComponent::~ZundFileTreeComponent()
{
    // Not again when the quit already wrote it, or the user gave it up there.
    juce::String error;
    if (hasUnsavedChanges() && ! saveTree (error) && saveFailureHandler != nullptr)
        saveFailureHandler (error);

    closeRenameEditor();
    stopListing();
    if (table != nullptr)
        table->clearTable(); // it may show a case's list, which goes with the items
    setRootItem (nullptr);
    rootItem.reset();
    removeChangeListener (this);
}

//==============================================================================
void ZundFileTreeComponent::buildItems (const std::vector<FileSystemRoot>& roots)
{
    rootItem = std::make_unique<ZundFileTreeItem> (*this, ZundFileTreeItem::hiddenRoot, juce::String());

    databaseItem = new ZundFileTreeItem (*this, ZundFileTreeItem::database, "Database");
    casesItem = new ZundFileTreeItem (*this, ZundFileTreeItem::cases, "Cases/Playlists");
    currentPlaylistItem = new ZundFileTreeItem (*this, ZundFileTreeItem::currentPlaylist, "Current Playlist");
    songFoldersItem = new ZundFileTreeItem (*this, ZundFileTreeItem::songFolders, "Song Folders");

    rootItem->addSubItem (databaseItem);
    rootItem->addSubItem (casesItem);
    casesItem->addSubItem (currentPlaylistItem);
    rootItem->addSubItem (songFoldersItem);
    for (const auto& root : roots)
        addDriveItem (root, -1);

    setRootItem (rootItem.get());
    rootItem->setOpen (true);
}

void ZundFileTreeComponent::addDriveItem (const FileSystemRoot& root, int index)
{
    auto* item = new ZundFileTreeItem (*this, ZundFileTreeItem::folder, root.path);
    item->setDriveKind (root.kind);
    rootItem->addSubItem (item, index);
}

void ZundFileTreeComponent::refreshRoots()
{
    refreshRoots (readFileSystemRoots());
}

void ZundFileTreeComponent::refreshRoots (const std::vector<FileSystemRoot>& roots)
{
    // Only the drives change: cases, song folders and the current playlist of
    // this run stay as they are, and so do drives that are still there.
    stopListing();
    const auto* selected = getSelectedTreeItem();

    for (int i = rootItem->getNumSubItems(); --i >= 0;)
    {
        auto* item = static_cast<ZundFileTreeItem*> (rootItem->getSubItem (i));
        if (! item->isDrive())
            continue;

        const auto kept = std::find_if (roots.begin(), roots.end(), [item] (const auto& r) { return r.path == item->getName(); });
        if (kept != roots.end())
        {
            item->setDriveKind (kept->kind);
            continue;
        }

        if (isBelow (selected, item) && table != nullptr)
            table->clearTable();
        rootItem->removeSubItem (i, true);
    }

    for (const auto& root : roots)
    {
        bool present = false;
        for (int i = 0; i < rootItem->getNumSubItems() && ! present; ++i)
        {
            const auto* item = static_cast<ZundFileTreeItem*> (rootItem->getSubItem (i));
            present = item->isDrive() && item->getName() == root.path;
        }
        if (! present)
            addDriveItem (root, -1);
    }
    repaint();
}

//==============================================================================
void ZundFileTreeComponent::loadTree (const TreeViewFile& state)
{
    lastWidth = state.lastWidth;
    // The header's layout is XML inside an attribute: checked like a file, and its widths held in range.
    if (const auto layout = makeRestorableHeaderLayout (state.headerState, songTableWidths);
        table != nullptr && layout.isNotEmpty())
        table->getHeader().restoreFromString (layout);

    for (const auto& folder : state.songFolders)
        addSongFolderItem (folder.name, folder.path);
    songFoldersItem->setOpen (true);

    for (const auto& c : state.cases)
    {
        auto* item = new ZundFileTreeItem (*this, ZundFileTreeItem::caseItem, c.name);
        item->getFiles() = c.files;
        casesItem->addSubItem (item);
    }
}

TreeViewFile ZundFileTreeComponent::currentState() const
{
    TreeViewFile state;
    if (table != nullptr)
        state.headerState = table->getHeader().toString();
    state.lastWidth = getWidth() > 0 ? getWidth() : lastWidth;

    for (int i = 0; i < songFoldersItem->getNumSubItems(); ++i)
    {
        const auto* folder = static_cast<ZundFileTreeItem*> (songFoldersItem->getSubItem (i));
        state.songFolders.push_back ({ folder->getName(), folder->getPath() });
    }

    for (int i = 0; i < casesItem->getNumSubItems(); ++i)
    {
        auto* item = static_cast<ZundFileTreeItem*> (casesItem->getSubItem (i));
        if (item->getKind() == ZundFileTreeItem::caseItem)
            state.cases.push_back ({ item->getName(), item->getFiles() });
    }
    return state;
}

bool ZundFileTreeComponent::saveTree (juce::String& error)
{
    if (! mayWriteTreeFile)
    {
        error = "\"" + treeFile.getFullPathName()
              + "\" could not be read at start-up nor moved aside; the song folders and cases were not written over it.";
        return false;
    }
    const auto state = currentState();
    if (! state.save (treeFile, error))
        return false;
    savedFingerprint = state.fingerprint();
    return true;
}

bool ZundFileTreeComponent::hasUnsavedChanges() const
{
    return ! savedFingerprint.has_value() || *savedFingerprint != currentState().fingerprint();
}

void ZundFileTreeComponent::forgetUnsavedChanges()
{
    savedFingerprint = currentState().fingerprint();
}

//==============================================================================
juce::StringArray ZundFileTreeComponent::getSongFolders() const
{
    juce::StringArray folders;
    for (int i = 0; i < songFoldersItem->getNumSubItems(); ++i)
        if (const auto& path = static_cast<ZundFileTreeItem*> (songFoldersItem->getSubItem (i))->getPath(); path.isNotEmpty())
            folders.add (path);
    return folders;
}

void ZundFileTreeComponent::songFoldersChanged()
{
    if (database != nullptr)
        database->setSongFolders (getSongFolders());
}

void ZundFileTreeComponent::setIcon (int index, const juce::Image& image)
{
    if (juce::isPositiveAndBelow (index, (int) numIcons))
        icons[index] = image;
}

const juce::Image& ZundFileTreeComponent::getIcon (int index) const
{
    static const juce::Image none;
    return juce::isPositiveAndBelow (index, (int) numIcons) ? icons[index] : none;
}

void ZundFileTreeComponent::addToCurrentPlaylist (const juce::String& path)
{
    currentPlaylistItem->getFiles().add (path);
}

ZundFileTreeItem* ZundFileTreeComponent::getSelectedTreeItem() const
{
    return static_cast<ZundFileTreeItem*> (getSelectedItem (0));
}

void ZundFileTreeComponent::showItemInTable (ZundFileTreeItem& item)
{
    if (table == nullptr)
        return;

    const int kind = item.getKind();
    const bool isCase = kind == ZundFileTreeItem::caseItem || kind == ZundFileTreeItem::currentPlaylist;
    table->setKeepOrder (isCase);

    if (kind == ZundFileTreeItem::folder || kind == ZundFileTreeItem::songFolder)
    {
        table->showFolder (folderOf (item.getFullPath()));
    }
    else if (isCase)
    {
        auto& header = table->getHeader();
        header.setSortColumnId (0, header.isSortedForwards());
        table->showCase (&item.getFiles());
    }
    else if (kind == ZundFileTreeItem::database)
    {
        table->showDatabase();
    }
    else
    {
        table->showFolder ({});
    }
}

void ZundFileTreeComponent::reselect (ZundFileTreeItem* item)
{
    item->setSelected (false, false);
    item->setSelected (true, true);
}

//==============================================================================
void ZundFileTreeComponent::listSubFolders (ZundFileTreeItem* item, const juce::String& path)
{
    stopListing();
    item->clearSubItems();
    const auto folder = folderOf (path);
    if (folder == juce::File())
        return;

    listingItem = item;
    SafePointer<ZundFileTreeComponent> safeThis (this);
    lister = std::make_unique<SubFolderLister> (folder, [safeThis, number = ++listing] (const juce::StringArray& names) {
        if (safeThis != nullptr)
            safeThis->subFoldersListed (number, names);
    });
    lister->startThread();
}

void ZundFileTreeComponent::stopListing()
{
    AbandonedWorkers::stop (lister, listingStopTimeoutMs);
    lister.reset();
    listingItem = nullptr;
    ++listing; // whatever it found is no longer wanted
}

void ZundFileTreeComponent::subFoldersListed (int number, const juce::StringArray& names)
{
    if (number != listing || ! containsItem (listingItem))
        return;

    for (const auto& name : names)
        listingItem->addSubItem (new ZundFileTreeItem (*this, ZundFileTreeItem::folder, name));
    listingItem = nullptr;
    sendChangeMessage();
}

void ZundFileTreeComponent::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == this)
        repaint();
}

bool ZundFileTreeComponent::keyPressed (const juce::KeyPress& key)
{
    if (key.isKeyCode (juce::KeyPress::deleteKey) || key.isKeyCode (juce::KeyPress::backspaceKey))
    {
        deleteSelectedItem();
        return true;
    }
    if (key.isKeyCode (juce::KeyPress::upKey) || key.isKeyCode (juce::KeyPress::downKey)
        || key.isKeyCode (juce::KeyPress::rightKey))
        return juce::TreeView::keyPressed (key);
    return false;
}
}
