#pragma once

#include "library/browser/FileSystemRoots.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace zund
{
class ZundFileTreeComponent;

/** One item of the browser's tree: the database, the cases with the current
    playlist, the song folders, a drive or a folder. Cases and the current
    playlist hold their files (full paths, in order). */
class ZundFileTreeItem : public juce::TreeViewItem, public juce::TextEditor::Listener
{
public:
    enum Kind
    {
        hiddenRoot = 0,
        folder = 1, // a drive (directly under the root) or a sub-folder
        database = 2,
        cases = 3,
        caseItem = 4,
        currentPlaylist = 7,
        songFolders = 8,
        songFolder = 9
    };

    static constexpr int itemHeight = 16;

    ZundFileTreeItem (ZundFileTreeComponent& owner, int kind, const juce::String& name, const juce::String& path = {});

    int getKind() const noexcept { return kind; }
    const juce::String& getName() const noexcept { return name; }
    void setName (const juce::String& newName);
    const juce::String& getPath() const noexcept { return path; }
    /** A song folder's folder; listing starts again when it is opened. */
    void setPath (const juce::String& newPath);
    juce::StringArray& getFiles() noexcept { return files; }

    bool isDrive() const;
    FileSystemRoot::Kind getDriveKind() const noexcept { return driveKind; }
    void setDriveKind (FileSystemRoot::Kind newKind) noexcept { driveKind = newKind; }
    /** Directly under the hidden root: drawn with an icon. */
    bool isTopLevel() const;

    /** The folder this item stands for: a drive's or song folder's path with
        the names of the folders below it; empty for other kinds. */
    juce::String getFullPath() const;

    /** Forgets whether the folder has sub-folders, so it is looked at again. */
    void forgetSubFolders() noexcept { subFoldersChecked = false; }

    /** Puts the name editor over the item; `whenDone` runs once the name is set. */
    void startRenaming (std::function<void()> whenDone);
    bool isRenaming() const noexcept { return renaming; }
    /** Takes the editor's text as the name ("Untitled" for a case left empty). */
    void finishRenaming (bool keepEditorText);

    bool mightContainSubItems() override;
    juce::String getUniqueName() const override;
    int getItemHeight() const override { return itemHeight; }
    bool customComponentUsesTreeViewMouseHandler() const override { return true; }
    std::unique_ptr<juce::Component> createItemComponent() override;
    void itemOpennessChanged (bool isNowOpen) override;
    void itemSelectionChanged (bool isNowSelected) override;
    void itemClicked (const juce::MouseEvent& e) override;
    void itemDoubleClicked (const juce::MouseEvent& e) override;

    void textEditorReturnKeyPressed (juce::TextEditor&) override { finishRenaming (true); }
    void textEditorEscapeKeyPressed (juce::TextEditor&) override { finishRenaming (false); }
    void textEditorFocusLost (juce::TextEditor&) override { finishRenaming (true); }

    ZundFileTreeComponent& getOwner() const noexcept { return owner; }

private:
    ZundFileTreeComponent& owner;
    const int kind;
    juce::String name;
    juce::String path;
    juce::StringArray files;
    FileSystemRoot::Kind driveKind = FileSystemRoot::Kind::fixedDisk;

    bool subFoldersChecked = false;
    bool hasSubFolders = false;
    bool renaming = false;
    std::function<void()> renameDone;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ZundFileTreeItem)
};
}
