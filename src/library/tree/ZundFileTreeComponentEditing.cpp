#include "library/tree/ZundFileTreeComponent.h"

#include "library/browser/ID3ViewComponent.h"
#include "library/browser/LibraryDialogs.h"
#include "library/database/ID3DataBase.h"
#include "library/tasks/DatabaseTasks.h"
#include "library/tree/ZundFileTreeItem.h"

// The tree's edits: its context menus, cases, song folders, renaming,
// deleting, dropped rows and the clipboard.

namespace zund
{
namespace
{
constexpr auto warningIcon = juce::MessageBoxIconType::WarningIcon;
}

bool ZundFileTreeComponent::containsItem (const juce::TreeViewItem* item) const
{
    if (item == nullptr || rootItem == nullptr)
        return false;

    // Down from the root: an item that was deleted is only ever compared with.
    std::vector<const juce::TreeViewItem*> toVisit { rootItem.get() };
    while (! toVisit.empty())
    {
        const auto* visiting = toVisit.back();
        toVisit.pop_back();
        if (visiting == item)
            return true;
        for (int i = 0; i < visiting->getNumSubItems(); ++i)
            toVisit.push_back (visiting->getSubItem (i));
    }
    return false;
}

void ZundFileTreeComponent::showMenu (ZundFileTreeItem* item)
{
    juce::PopupMenu menu;
    switch (item->getKind())
    {
        case ZundFileTreeItem::database:
            menu.addItem (1, "Remove all Files from Database that do not belong to Song Folders");
            menu.addItem (2, "Clear Database");
            break;
        case ZundFileTreeItem::cases:
            menu.addItem (1, "Add Case");
            break;
        case ZundFileTreeItem::caseItem:
            menu.addItem (1, "Delete Case");
            menu.addItem (2, "Rename Case");
            menu.addItem (3, "Copy to Clipboard");
            break;
        case ZundFileTreeItem::currentPlaylist:
            menu.addItem (1, "Copy to Clipboard");
            break;
        case ZundFileTreeItem::songFolders:
            menu.addItem (1, "Add Song Folder");
            menu.addItem (2, "Rescan all Song Folders");
            break;
        case ZundFileTreeItem::songFolder:
            menu.addItem (1, "Set Song Folder");
            menu.addItem (2, "Rescan Song Folder");
            menu.addItem (3, "Rename Song Folder");
            menu.addItem (4, "Delete Song Folder");
            break;
        default:
            return;
    }

    SafePointer<ZundFileTreeComponent> safeThis (this);
    menu.showMenuAsync (juce::PopupMenu::Options(), [safeThis, item] (int chosen) {
        if (safeThis != nullptr && chosen != 0 && safeThis->containsItem (item))
            safeThis->menuItemChosen (item, chosen);
    });
}

void ZundFileTreeComponent::menuItemChosen (ZundFileTreeItem* item, int chosen)
{
    SafePointer<ZundFileTreeComponent> safeThis (this);
    switch (item->getKind() * 10 + chosen)
    {
        case ZundFileTreeItem::database * 10 + 1:
            LibraryDialogs::confirm (warningIcon, "Clear Database",
                                     "This will remove all songs not present in Song Folders from the Database, "
                                     "including Metadata and Cue Points! Are you sure you want to proceed?",
                                     {}, {}, [safeThis] {
                                         if (safeThis == nullptr || safeThis->database == nullptr)
                                             return;
                                         safeThis->database->removeFilesNotInSongFolders();
                                         safeThis->reselect (safeThis->databaseItem);
                                     });
            break;
        case ZundFileTreeItem::database * 10 + 2:
            LibraryDialogs::confirm (warningIcon, "Clear Database",
                                     "This will remove all songs from the Database including Metadata and Cue Points! "
                                     "Are you sure you want to proceed?",
                                     {}, {}, [safeThis] {
                                         if (safeThis == nullptr || safeThis->database == nullptr)
                                             return;
                                         safeThis->database->clear();
                                         safeThis->reselect (safeThis->databaseItem);
                                     });
            break;
        case ZundFileTreeItem::cases * 10 + 1:
            addCase();
            break;
        case ZundFileTreeItem::caseItem * 10 + 1:
        case ZundFileTreeItem::songFolder * 10 + 4:
            deleteSelectedItem();
            break;
        case ZundFileTreeItem::caseItem * 10 + 2:
        case ZundFileTreeItem::songFolder * 10 + 3:
            renameItem (item);
            break;
        case ZundFileTreeItem::caseItem * 10 + 3:
        case ZundFileTreeItem::currentPlaylist * 10 + 1:
            copyTableToClipboard();
            break;
        case ZundFileTreeItem::songFolders * 10 + 1:
            addSongFolderItem ({}, {});
            songFoldersChanged();
            break;
        case ZundFileTreeItem::songFolders * 10 + 2:
            for (int i = 0; i < songFoldersItem->getNumSubItems(); ++i)
            {
                auto* folder = static_cast<ZundFileTreeItem*> (songFoldersItem->getSubItem (i));
                rescanSongFolder (folderOf (folder->getPath()));
                folder->forgetSubFolders();
            }
            repaint();
            break;
        case ZundFileTreeItem::songFolder * 10 + 1:
            chooseSongFolder (item);
            break;
        case ZundFileTreeItem::songFolder * 10 + 2:
            item->forgetSubFolders();
            rescanSongFolder (folderOf (item->getPath()));
            repaint();
            break;
        default:
            break;
    }
}

//==============================================================================
ZundFileTreeItem* ZundFileTreeComponent::addCase()
{
    auto* item = new ZundFileTreeItem (*this, ZundFileTreeItem::caseItem, {});
    casesItem->addSubItem (item);
    casesItem->setOpen (true);
    item->setSelected (true, true);
    scrollToKeepItemVisible (item);
    renameItem (item);
    return item;
}

ZundFileTreeItem* ZundFileTreeComponent::addSongFolderItem (const juce::String& name, const juce::String& path)
{
    auto* item = new ZundFileTreeItem (*this, ZundFileTreeItem::songFolder, name, path);
    songFoldersItem->addSubItem (item);
    if (name.isNotEmpty())
        return item;

    songFoldersItem->setOpen (true);
    item->setSelected (true, true);
    scrollToKeepItemVisible (item);

    // The new folder stays only once it has a name and a folder.
    SafePointer<ZundFileTreeComponent> safeThis (this);
    renameItem (item, [safeThis, item] {
        if (safeThis == nullptr || ! safeThis->containsItem (item))
            return;
        if (item->getName().isEmpty())
        {
            safeThis->removeItem (item);
            safeThis->songFoldersChanged();
            return;
        }
        safeThis->chooseSongFolder (item, [safeThis, item] (bool chosen) {
            if (safeThis == nullptr || ! safeThis->containsItem (item))
                return;
            if (! chosen)
                safeThis->removeItem (item);
            safeThis->songFoldersChanged();
        });
    });
    return item;
}

void ZundFileTreeComponent::chooseSongFolder (ZundFileTreeItem* item, std::function<void (bool)> done)
{
    SafePointer<ZundFileTreeComponent> safeThis (this);
    LibraryDialogs::chooseFolder (folderChooser, "Choose Song Folder", [safeThis, item, done] (const juce::File& folder) {
        if (safeThis == nullptr || ! safeThis->containsItem (item) || folder == juce::File())
        {
            if (done != nullptr)
                done (false);
            return;
        }
        safeThis->songFolderChosen (item, folder, done);
    });
}

void ZundFileTreeComponent::songFolderChosen (ZundFileTreeItem* item, const juce::File& folder,
                                              std::function<void (bool)> done)
{
    SafePointer<ZundFileTreeComponent> safeThis (this);
    if (database != nullptr && database->isSongFolder (folder.getFullPathName()))
    {
        LibraryDialogs::warn ("Error!",
                              "This folder is already a Song Folder. It is not allowed to use the same folder twice as "
                              "Song Folder. Please select another folder.",
                              [safeThis, item, done] {
                                  if (safeThis != nullptr && safeThis->containsItem (item))
                                      safeThis->chooseSongFolder (item, done);
                                  else if (done != nullptr)
                                      done (false);
                              });
        return;
    }

    item->setOpen (false);
    item->setPath (folder.getFullPathName());
    item->setOpen (true);
    songFoldersChanged();

    LibraryDialogs::ask (juce::MessageBoxIconType::QuestionIcon, "Song Folder", "Scan Song Folder now (recommended) ?",
                         "Yes", "No", [safeThis, folder] (bool scan) {
                             if (safeThis == nullptr)
                                 return;
                             if (scan)
                                 safeThis->rescanSongFolder (folder);
                             else if (safeThis->table != nullptr)
                                 safeThis->table->showFolder (folder);
                         });
    if (done != nullptr)
        done (true);
}

void ZundFileTreeComponent::scanSongFolderIntoDatabase (const juce::File& folder)
{
    if (database != nullptr)
        scanFolder (*database, folder);
}

void ZundFileTreeComponent::removeSongFolderFilesFromDatabase (const juce::File& folder)
{
    if (database != nullptr)
        removeFilesOfFolder (*database, folder);
}

void ZundFileTreeComponent::rescanSongFolder (const juce::File& folder)
{
    if (! folder.isDirectory())
        return;

    if (table != nullptr)
        table->stopWorker();
    scanSongFolderIntoDatabase (folder);
    if (table != nullptr)
        table->showFolder (folder);
}

//==============================================================================
void ZundFileTreeComponent::renameItem (ZundFileTreeItem* item, std::function<void()> whenDone)
{
    const int kind = item != nullptr ? item->getKind() : -1;
    if (kind != ZundFileTreeItem::caseItem && kind != ZundFileTreeItem::songFolder)
    {
        if (whenDone != nullptr)
            whenDone();
        return;
    }

    if (renamingItem != nullptr)
        renamingItem->finishRenaming (true);

    renameEditor = std::make_unique<juce::TextEditor> ("rename");
    renameEditor->setBounds (item->getItemPosition (true).expanded (0, 2));
    renameEditor->setText (item->getName(), false);
    renameEditor->addListener (item);
    addAndMakeVisible (*renameEditor);
    renamingItem = item;
    item->startRenaming (std::move (whenDone));
    renameEditor->selectAll();
    renameEditor->grabKeyboardFocus();
}

void ZundFileTreeComponent::closeRenameEditor()
{
    renamingItem = nullptr;
    if (renameEditor == nullptr)
        return;

    auto editor = std::move (renameEditor);
    removeChildComponent (editor.get());
}

//==============================================================================
void ZundFileTreeComponent::deleteSelectedItem()
{
    auto* item = getNumSelectedItems() == 1 ? getSelectedTreeItem() : nullptr;
    if (item == nullptr)
        return;

    SafePointer<ZundFileTreeComponent> safeThis (this);
    auto stillThere = [safeThis, item] { return safeThis != nullptr && safeThis->containsItem (item); };

    if (item->getKind() == ZundFileTreeItem::caseItem)
    {
        LibraryDialogs::confirm (warningIcon, "Delete Case", "Really delete Case?", {}, {}, [safeThis, item, stillThere] {
            if (stillThere())
                safeThis->deleteItem (item, false);
        });
    }
    else if (item->getKind() == ZundFileTreeItem::songFolder)
    {
        LibraryDialogs::confirm (warningIcon, "Delete Song Folder", "Really delete Song Folder?", {}, {}, [safeThis, item, stillThere] {
            if (! stillThere())
                return;
            LibraryDialogs::ask (warningIcon, "Delete Song Folder",
                                 "Also remove this Song Folder's files from the Database (only files belonging solely to "
                                 "this Song Folder will be removed from the Database) ?",
                                 "Yes", "No", [safeThis, item, stillThere] (bool alsoRemoveFiles) {
                                     if (stillThere())
                                         safeThis->deleteItem (item, alsoRemoveFiles);
                                 });
        });
    }
}

void ZundFileTreeComponent::deleteItem (ZundFileTreeItem* item, bool alsoRemoveFiles)
{
    if (table != nullptr)
        table->clearTable();

    const bool isSongFolder = item->getKind() == ZundFileTreeItem::songFolder;
    if (isSongFolder && alsoRemoveFiles)
        removeSongFolderFilesFromDatabase (folderOf (item->getPath()));

    removeItem (item);
    if (isSongFolder)
        songFoldersChanged();
}

void ZundFileTreeComponent::removeItem (ZundFileTreeItem* item)
{
    if (listingItem != nullptr && isBelow (listingItem, item))
        stopListing();
    if (renamingItem == item)
        closeRenameEditor();
    if (table != nullptr && table->isShowingCase (&item->getFiles()))
        table->clearTable();

    if (auto* parent = item->getParentItem())
        parent->removeSubItem (item->getIndexInParent(), true);
}

//==============================================================================
void ZundFileTreeComponent::copyTableToClipboard()
{
    if (table != nullptr)
        juce::SystemClipboard::copyTextToClipboard (table->getRowsAsText());
}

void ZundFileTreeComponent::songRowsDropped (ZundFileTreeItem& caseItem, ID3ViewComponent& source)
{
    caseItem.getFiles().addArray (source.getSelectedFiles());
    source.markSelectedRowsAddedToCase();
    caseItem.repaintItem();
}
}
