#include "library/tree/ZundFileTreeItem.h"

#include "common/files/FolderListing.h"
#include "library/tree/ZundFileTreeComponent.h"
#include "library/tree/ZundFileTreeItemComponent.h"

namespace zund
{
namespace
{
juce::String joinPath (const juce::String& folder, const juce::String& name)
{
    return folder.endsWithChar ('/') ? folder + name : folder + "/" + name;
}

const ZundFileTreeItem* parentOf (const juce::TreeViewItem& item)
{
    return dynamic_cast<const ZundFileTreeItem*> (item.getParentItem());
}
}

ZundFileTreeItem::ZundFileTreeItem (ZundFileTreeComponent& ownerTree, int itemKind, const juce::String& itemName,
                                    const juce::String& itemPath)
    : owner (ownerTree),
      kind (itemKind),
      name (itemName),
      path (itemPath)
{
    if (kind == hiddenRoot)
        setLinesDrawnForSubItems (false);
}

void ZundFileTreeItem::setName (const juce::String& newName)
{
    name = newName;
    repaintItem();
}

void ZundFileTreeItem::setPath (const juce::String& newPath)
{
    path = newPath;
    subFoldersChecked = false;
    repaintItem();
}

bool ZundFileTreeItem::isTopLevel() const
{
    const auto* parent = parentOf (*this);
    return parent != nullptr && parent->kind == hiddenRoot;
}

bool ZundFileTreeItem::isDrive() const
{
    return kind == folder && isTopLevel();
}

juce::String ZundFileTreeItem::getFullPath() const
{
    if (kind != folder && kind != songFolder)
        return {};

    auto result = kind == folder ? name : path;
    if (kind == songFolder)
        return result;

    for (const auto* parent = parentOf (*this); parent != nullptr; parent = parentOf (*parent))
    {
        if (parent->kind == folder)
            result = joinPath (parent->name, result);
        else if (parent->kind == songFolder)
            return joinPath (parent->path, result);
        else
            break;
    }
    return result;
}

bool ZundFileTreeItem::mightContainSubItems()
{
    switch (kind)
    {
        case database:
        case caseItem:
        case currentPlaylist:
            return false;
        case hiddenRoot:
        case cases:
        case songFolders:
            return getNumSubItems() > 0;
        default:
            break;
    }

    if (isDrive())
        return true;

    if (! subFoldersChecked)
    {
        subFoldersChecked = true;
        const auto fullPath = getFullPath();
        hasSubFolders = false;
        if (juce::File::isAbsolutePath (fullPath))
        {
            FolderListing listing (juce::File { fullPath });
            for (FolderListing::Entry entry; ! hasSubFolders && listing.next (entry);)
                hasSubFolders = entry.kind == FolderListing::Kind::folder && ! entry.isHidden();
        }
    }
    return hasSubFolders;
}

juce::String ZundFileTreeItem::getUniqueName() const
{
    return juce::String (kind) + ":" + name + ":" + path;
}

std::unique_ptr<juce::Component> ZundFileTreeItem::createItemComponent()
{
    return std::make_unique<ZundFileTreeItemComponent> (*this);
}

void ZundFileTreeItem::itemOpennessChanged (bool isNowOpen)
{
    if (isNowOpen && (kind == folder || kind == songFolder))
        owner.listSubFolders (this, getFullPath());
}

void ZundFileTreeItem::itemSelectionChanged (bool isNowSelected)
{
    if (isNowSelected)
        owner.showItemInTable (*this);
}

void ZundFileTreeItem::itemClicked (const juce::MouseEvent& e)
{
    if (! isSelected())
        setSelected (true, true);
    if (e.mods.isPopupMenu())
        owner.showMenu (this);
}

void ZundFileTreeItem::itemDoubleClicked (const juce::MouseEvent& e)
{
    if (! e.mods.isRightButtonDown())
        setOpen (! isOpen());
}

void ZundFileTreeItem::startRenaming (std::function<void()> whenDone)
{
    renaming = true;
    renameDone = std::move (whenDone);
}

void ZundFileTreeItem::finishRenaming (bool keepEditorText)
{
    if (! renaming)
        return;
    renaming = false;

    if (auto* editor = owner.getRenameEditor(); editor != nullptr && keepEditorText)
        name = editor->getText().isEmpty() ? juce::String ("Untitled") : editor->getText();
    else if (kind == caseItem && name.isEmpty())
        name = "Untitled";

    owner.closeRenameEditor();
    treeHasChanged();
    repaintItem();

    if (auto done = std::move (renameDone))
        done();
}
}
