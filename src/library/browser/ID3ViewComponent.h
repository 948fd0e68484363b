#pragma once

#include "library/browser/SongSearch.h"
#include "library/browser/StringTableListBox.h"
#include "ui/SongDragSource.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <memory>
#include <vector>

namespace zund
{
class ID3DataBase;
class ID3DataBaseEntry;
class ID3ViewComponentListener;
class ID3ViewComponentMouseListener;
class ZundFileTreeComponent;

/** The song table: one row per audio file, from a folder, a case (or the
    current playlist), the whole database or a search of it, with the tags of
    the song database in thirteen columns.

    A worker thread ("ID3ViewThread", one per run) fills the rows, sorts them
    and fills their tags; it touches rows only under the message-manager lock
    (a slice at a time) and records only under the database lock, never both at
    once, and reads song files under neither. Every change of the rows from the
    message thread first stops the worker and, when that cut its run short,
    starts what was left undone again. A worker that does not stop within a
    moment (a file read hanging on a dead network mount) is left to end on its
    own and nothing it does reaches the table any more. The worker reads its own
    copy of a case's list; edits change the tree item's list itself.

    Tag editing, marks, keys and removal are in ID3ViewComponentEditing.cpp. */
class ID3ViewComponent : public StringTableListBox,
                         public juce::FileBrowserListener,
                         public SongDragSource,
                         private juce::MessageListener
{
public:
    enum Mode
    {
        noMode = 0,
        folderMode,
        caseMode,
        databaseMode,
        searchMode
    };

    explicit ID3ViewComponent (ID3DataBase* database);
    ~ID3ViewComponent() override;

    //==============================================================================
    // Mode switches: each stops the worker, empties the table and fills it anew.
    void showFolder (const juce::File& folder);
    /** The list stays the caller's (a tree item's): edits of the shown case go
        into it. */
    void showCase (juce::StringArray* files);
    void showDatabase();
    void setSearchWords (const juce::StringArray& words);

    /** Set by the tree before a switch: true for a case or the current playlist. */
    void setKeepOrder (bool shouldKeepOrder) noexcept { keepOrder = shouldKeepOrder; }
    void setTree (ZundFileTreeComponent* newTree) noexcept { tree = newTree; }
    void setListener (ID3ViewComponentListener* newListener);

    /** Stops the worker (or leaves it behind when it does not stop at once); a
        run cut short reports that the table no longer works. */
    void stopWorker();
    /** Stops the worker, removes every row and forgets what was shown. */
    void clearTable();
    /** Whether the worker is busy with a run. */
    bool isWorking() const;

    int getMode() const noexcept { return mode; }
    /** The table shows this list as a case (not search results). */
    bool isShowingCase (const juce::StringArray* files) const noexcept;

    /** PATH + separator + FILENAME. */
    juce::String getFullPathOfRow (int row) const;
    /** The first selected row's full path; empty without a selection. */
    juce::String getSelectedFile() const;
    /** The selected rows' full paths, in row order. */
    juce::StringArray getSelectedFiles() const;
    /** The row whose POS is `pos`, -1 when none. */
    int findRowByPos (int pos);
    /** A row showing that file: `likelyRow` when it still does, else the first
        one that does; -1 when none. */
    int findRowOfFile (const juce::String& fullPath, int likelyRow) const;

    /** Switches one of the search fields ("path", "filename", "artist", "album",
        "song", "bpm", "genre", "label"; any case) on or off. */
    void setSearchField (const juce::String& name, bool on);

    /** One line per row: "ARTIST - SONG [ LABEL ]". */
    juce::String getRowsAsText() const;

    // SongDragSource
    juce::String getSelectedSongPath() const override { return getSelectedFile(); }

    // juce::FileBrowserListener: a folder to show.
    void fileClicked (const juce::File& file, const juce::MouseEvent&) override { showFolder (file); }
    void selectionChanged() override {}
    void fileDoubleClicked (const juce::File&) override {}
    void browserRootChanged (const juce::File&) override {}

    //==============================================================================
    // Editing, marks and keys (ID3ViewComponentEditing.cpp).
    /** A right click on a cell: asks for the cell's new text and writes it into
        the file's tags. */
    void editTag (int columnId, int row);
    void markSelectedRowLoaded();
    void markSelectedRowsAddedToCase();
    void unmarkSelectedRow();
    void moveSelectedRowUp();
    void moveSelectedRowDown();
    void removeSelectedFromDatabase();
    void writeCaseOrder();
    /** A left double click on the header: in a case, offers to sort it. */
    void headerDoubleClicked();

    bool keyPressed (const juce::KeyPress& key) override;
    void deleteKeyPressed (int lastRowSelected) override;
    void selectedRowsChanged (int lastRowSelected) override;
    void tableSortOrderChanged (juce::TableHeaderComponent* header) override;
    void tableColumnDraggingChanged (juce::TableHeaderComponent* header, int columnIdNowBeingDragged) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

private:
    // What a worker run does; the flags it leaves set when stopped tell what
    // is still undone.
    enum Work
    {
        fillRowsWork = 1,
        sortWork = 2,
        fillTagsWork = 4,
        writeCaseOrderWork = 8
    };

    class Worker;
    struct WorkerLink;

    // A worker's input, its own copy.
    struct Job
    {
        int mode = noMode;
        juce::File folder;
        juce::StringArray caseFiles;
        SongSearch search;
        juce::StringArray songFolders;
        bool keepOrder = false;
        int work = 0;
        int generation = 0;
    };

    // Worker messages (kind, value, generation).
    enum MessageKind
    {
        rowCountMessage = 0,
        repaintMessage,
        workingMessage,
        columnsMessage,
        selectFirstRowMessage,
        writeCaseOrderMessage
    };

    // The colour and tag cells (ARTIST .. KHZ) of a row, from its record.
    struct RowTags
    {
        int pos = 0;
        bool couldNotWriteMetadata = false;
        juce::String cells[10];
    };

    //==============================================================================
    void switchMode (int newMode, int extraWork = 0);
    /** Starts the worker on the shown rows. A case keeps its order unless
        `sortEvenInCase`. */
    void startJob (int work, bool sortEvenInCase = false);
    /** Stops the worker; returns the work its run left undone. */
    int stopWorkerNoting();
    /** Starts again what a stopped run left undone. */
    void finishUndoneWork (int undone);
    bool keepsOrder() const noexcept { return keepOrder && mode == caseMode; }
    juce::StringArray* shownCase() const noexcept { return mode == caseMode ? caseFiles : nullptr; }
    void sortByColumnsInBackground (bool thenWriteCaseOrder);
    void rowsRemovedOrMoved();
    void selectFirstRowUnlessChosen();
    void refreshRowsOfFile (const juce::String& fullPath);
    /** The record of a row's file, made (and read) when there is none; none
        for a file that is not a regular one. Under the database lock. */
    ID3DataBaseEntry* recordToMark (const juce::String& fullPath);
    void applyTagEdit (const juce::String& fullPath, int columnId, const juce::String& newText);

    void handleMessage (const juce::Message& message) override;

    static RowTags makeRowTags (const ID3DataBaseEntry& record);
    void setRowTags (int row, const RowTags& tags);

    void rebuildPosMap();
    juce::Array<int> getVisibleColumnIds() const;

    //==============================================================================
    ID3DataBase* database;
    ZundFileTreeComponent* tree = nullptr;
    ID3ViewComponentListener* viewListener = nullptr;
    std::unique_ptr<ID3ViewComponentMouseListener> headerMouseListener;

    int generation = 0;
    int mode = noMode;
    juce::File folder;
    juce::StringArray* caseFiles = nullptr;
    bool keepOrder = false;
    SongSearch search;

    std::shared_ptr<WorkerLink> link;
    std::unique_ptr<Worker> worker;

    // POS -> row, -1 for none; kept with the rows (message thread, or the
    // worker under the message-manager lock).
    std::vector<int> rowOfPos;
    bool posMapValid = true;

    bool userChoseRows = false;       // the user changed the selection since the fill began
    bool selectingForTheFill = false; // selection changes made by the table itself

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ID3ViewComponent)
};
}
