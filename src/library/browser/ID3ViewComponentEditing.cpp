#include "library/browser/ID3ViewComponent.h"

#include "audiofile/peaks/PeakFile.h"
#include "common/files/AudioFileTypes.h"
#include "common/files/FileFacts.h"
#include "library/browser/ID3ViewComponentListener.h"
#include "library/browser/LibraryDialogs.h"
#include "library/browser/RowSelection.h"
#include "library/browser/SongTableColumns.h"
#include "library/database/ID3DataBase.h"

// What the user does to the rows: tag edits, marks, keys, case edits, removal
// from the database, the header's double click and the mouse wheel.

namespace zund
{
namespace
{
juce::String* tagFieldOf (ID3DataBaseEntry& record, int columnId)
{
    switch (columnId)
    {
        case SongTableColumns::artist: return &record.artist;
        case SongTableColumns::song:   return &record.song;
        case SongTableColumns::album:  return &record.album;
        case SongTableColumns::genre:  return &record.genre;
        case SongTableColumns::year:   return &record.year;
        case SongTableColumns::bpm:    return &record.bpm;
        case SongTableColumns::label:  return &record.label;
        default:                       return nullptr;
    }
}

// The row number is the row's identity for the tag pass, so it is not edited
// either.
bool isEditableColumn (int columnId)
{
    return juce::isPositiveAndNotGreaterThan (columnId, SongTableColumns::count) && columnId != SongTableColumns::pos
        && columnId != SongTableColumns::path && columnId != SongTableColumns::filename
        && columnId != SongTableColumns::quality && columnId != SongTableColumns::kiloHertz
        && columnId != SongTableColumns::time;
}

bool needsFreeFileToEdit (const juce::File& file)
{
    const auto extension = getPathExtension (file.getFullPathName()).toLowerCase();
    return extension != ".wav" && extension != ".aif" && extension != ".aiff";
}

// A path that may be read on the message thread: a pipe or device with a
// song's name would never answer.
bool isSongFilePath (const juce::String& fullPath)
{
    return juce::File::isAbsolutePath (fullPath) && isRegularFile (juce::File (fullPath));
}

int markStateOf (const ID3DataBaseEntry& record)
{
    return record.loadedInDeck ? StringTableRow::loadedInChannel
         : record.addedToCase  ? StringTableRow::addedToCase
                               : StringTableRow::normal;
}
}

//==============================================================================
void ID3ViewComponent::editTag (int columnId, int row)
{
    if (! isEditableColumn (columnId))
        return;

    const auto fullPath = getFullPathOfRow (row);
    if (! isSongFilePath (fullPath))
        return;

    const juce::File file (fullPath);
    {
        const juce::ScopedLock sl (database->getLock());
        bool scanned = false;
        if (database->addOrUpdateFile (file, scanned, true, true) == nullptr)
            return;
    }

    if (needsFreeFileToEdit (file) && PeakFile::isBusyWithFile (file))
    {
        LibraryDialogs::warn ("Warning!",
                              "Can't edit tags for this song at the moment, as the file cannot be accessed. Possible "
                              "causes: The file is not present in the specified location, file is read-only, file is "
                              "being played by Zund or file is being accessed by another application.");
        return;
    }

    juce::Component::SafePointer<ID3ViewComponent> safeThis (this);
    LibraryDialogs::askForText ("Enter new value!", getCellText (columnId - 1, row), "OK [Enter]", "Cancel [Esc]",
                                [safeThis, fullPath, columnId] (const juce::String& newText) {
                                    if (safeThis != nullptr)
                                        safeThis->applyTagEdit (fullPath, columnId, newText);
                                });
}

void ID3ViewComponent::applyTagEdit (const juce::String& fullPath, int columnId, const juce::String& newText)
{
    const int undone = stopWorkerNoting();
    const juce::File file (fullPath);

    // A failed write leaves the record showing what the file holds, marked.
    const bool written = database->editTags (file, [columnId, &newText] (ID3DataBaseEntry& record) {
        if (auto* field = tagFieldOf (record, columnId))
            *field = newText;
    }) || database->findIndex (fullPath) < 0;

    if (! written)
        LibraryDialogs::warn ("Error!", "Could not write metadata to file!");

    refreshRowsOfFile (fullPath);
    database->addFile (file, false);
    finishUndoneWork (undone);
}

void ID3ViewComponent::refreshRowsOfFile (const juce::String& fullPath)
{
    RowTags tags;
    {
        const juce::ScopedLock sl (database->getLock());
        const auto* record = database->getEntry (database->findIndex (fullPath));
        if (record == nullptr)
            return;
        tags = makeRowTags (*record);
    }

    for (int row = 0; row < getNumRows(); ++row)
        if (getFullPathOfRow (row) == fullPath)
            setRowTags (row, tags);
    repaint();
}

//==============================================================================
ID3DataBaseEntry* ID3ViewComponent::recordToMark (const juce::String& fullPath)
{
    const juce::ScopedLock sl (database->getLock());
    if (auto* record = database->getEntry (database->findIndex (fullPath)))
        return record;
    if (! isSongFilePath (fullPath))
        return nullptr;
    bool scanned = false;
    return database->addOrUpdateFile (juce::File (fullPath), scanned, false, false);
}

void ID3ViewComponent::markSelectedRowLoaded()
{
    if (getNumSelectedRows() == 0)
        return;

    const int row = getSelectedRow (0);
    int state = 0;
    {
        const juce::ScopedLock sl (database->getLock());
        auto* record = recordToMark (getFullPathOfRow (row));
        if (record == nullptr)
            return;
        record->loadedInDeck = true;
        state = markStateOf (*record);
    }

    selectRow (row);
    setRowState (row, state);
    repaint();
}

void ID3ViewComponent::markSelectedRowsAddedToCase()
{
    const auto selected = getSelectedRows();
    const juce::ScopedLock sl (database->getLock());
    for (int i = 0; i < selected.getNumRanges(); ++i)
        for (int row = selected.getRange (i).getStart(); row < selected.getRange (i).getEnd(); ++row)
            if (auto* record = recordToMark (getFullPathOfRow (row)))
            {
                record->addedToCase = true;
                setRowState (row, markStateOf (*record));
            }
    repaint();
}

void ID3ViewComponent::unmarkSelectedRow()
{
    if (getNumSelectedRows() == 0)
        return;

    const int row = getSelectedRow (0);
    const auto fullPath = getFullPathOfRow (row);
    const juce::ScopedLock sl (database->getLock());
    auto* record = database->getEntry (database->findIndex (fullPath));
    if (record == nullptr)
        return;

    if (record->loadedInDeck)
        record->loadedInDeck = false;
    else
        record->addedToCase = false;
    setRowState (row, record->addedToCase ? StringTableRow::addedToCase : StringTableRow::normal);
    repaint();
}

//==============================================================================
void ID3ViewComponent::moveSelectedRowUp()
{
    auto* list = shownCase();
    const int row = getSelectedRow (0);
    if (list == nullptr || getNumSelectedRows() == 0 || row <= 0)
        return;

    const int undone = stopWorkerNoting();
    swapRows (row, row - 1);
    if (row < list->size())
        list->strings.swap (row, row - 1);
    rowsRemovedOrMoved();
    selectRow (row - 1);
    finishUndoneWork (undone);
}

void ID3ViewComponent::moveSelectedRowDown()
{
    auto* list = shownCase();
    const int row = getSelectedRow (0);
    if (list == nullptr || getNumSelectedRows() == 0 || row >= getNumRows() - 1)
        return;

    const int undone = stopWorkerNoting();
    swapRows (row, row + 1);
    if (row + 1 < list->size())
        list->strings.swap (row, row + 1);
    rowsRemovedOrMoved();
    selectRow (row + 1);
    finishUndoneWork (undone);
}

void ID3ViewComponent::deleteKeyPressed (int)
{
    // Only the rows of a shown case: the walk pairs row i with entry i of its
    // list, which holds while the table shows that list in its order.
    auto* list = shownCase();
    const auto selected = getSelectedRows();
    if (list == nullptr || selected.isEmpty())
        return;

    const int undone = stopWorkerNoting();
    const int lowest = selected[0];

    // Row i stands for entry i: the list keeps the entries of the rows that stay.
    const auto removing = RowSelection::flagsOf (selected, getNumRows());
    juce::StringArray kept;
    kept.ensureStorageAllocated (list->size());
    for (int i = 0; i < list->size(); ++i)
        if (i >= (int) removing.size() || removing[(size_t) i] == 0)
            kept.add (list->getReference (i));
    list->swapWith (kept);

    removeRows (selected);
    rowsRemovedOrMoved();
    if (getNumRows() > 0)
        selectRow (juce::jmin (lowest, getNumRows() - 1));
    if (viewListener != nullptr)
        viewListener->numRowsChanged (getNumRows());
    finishUndoneWork (undone);
}

void ID3ViewComponent::removeSelectedFromDatabase()
{
    const auto selected = getSelectedRows();
    if (mode != databaseMode || selected.isEmpty())
        return;

    const int undone = stopWorkerNoting();
    juce::StringArray paths;
    for (const int row : RowSelection::rowsOf (selected))
        paths.add (getFullPathOfRow (row));
    database->removeFiles (paths); // one pass over the records, not one per row
    removeRows (selected);
    rowsRemovedOrMoved();
    if (viewListener != nullptr)
        viewListener->numRowsChanged (getNumRows());
    finishUndoneWork (undone);
}

void ID3ViewComponent::writeCaseOrder()
{
    auto* list = shownCase();
    if (list == nullptr)
        return;

    for (int row = 0; row < getNumRows() && row < list->size(); ++row)
        list->set (row, getFullPathOfRow (row));
}

void ID3ViewComponent::sortByColumnsInBackground (bool thenWriteCaseOrder)
{
    const int undone = stopWorkerNoting();
    const int work = sortWork | (thenWriteCaseOrder ? (int) writeCaseOrderWork : 0) | (undone & ~fillRowsWork);
    if ((undone & fillRowsWork) != 0)
        switchMode (mode, work);
    else
        startJob (work, true);
}

void ID3ViewComponent::headerDoubleClicked()
{
    auto* list = shownCase();
    if (list == nullptr)
        return;

    juce::Component::SafePointer<ID3ViewComponent> safeThis (this);
    LibraryDialogs::confirm (juce::MessageBoxIconType::WarningIcon, "Case/Current Playlist sort",
                             "Sort the Case/Current Playlist entries in the order of the columns?", "Yes", "No",
                             [safeThis, list] {
                                 if (safeThis != nullptr && safeThis->isShowingCase (list))
                                     safeThis->sortByColumnsInBackground (true);
                             });
}

//==============================================================================
bool ID3ViewComponent::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress::returnKey)
        return false;

    const auto mods = key.getModifiers();
    const bool plain = ! (mods.isCtrlDown() || mods.isAltDown() || mods.isCommandDown());
    if (plain && juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) key.getKeyCode()) == 'u')
    {
        unmarkSelectedRow();
        return true;
    }

    if (shownCase() != nullptr && mods.isCtrlDown())
    {
        if (key.isKeyCode (juce::KeyPress::upKey))
        {
            moveSelectedRowUp();
            return true;
        }
        if (key.isKeyCode (juce::KeyPress::downKey))
        {
            moveSelectedRowDown();
            return true;
        }
    }

    if (key.isKeyCode (juce::KeyPress::deleteKey) || key.isKeyCode (juce::KeyPress::backspaceKey))
    {
        if (mode == databaseMode)
        {
            juce::Component::SafePointer<ID3ViewComponent> safeThis (this);
            LibraryDialogs::confirm (
                juce::MessageBoxIconType::WarningIcon, "Remove entries from Database",
                "You are about to remove the selected entries from the Database! This will remove all information such "
                "as Metadata & Cuepoints for these entries! The files will not be removed from disk, only from Zund's "
                "Database. Are you sure to continue?",
                {}, {}, [safeThis] {
                    if (safeThis != nullptr)
                        safeThis->removeSelectedFromDatabase();
                });
        }
        else
        {
            deleteKeyPressed (getLastRowSelected());
        }
        return true;
    }

    return StringTableListBox::keyPressed (key);
}

void ID3ViewComponent::tableSortOrderChanged (juce::TableHeaderComponent* header)
{
    // There is no sort by one column: a click on a header sorts by all visible
    // columns, left to right, and leaves no sort mark.
    if (header == nullptr || header->getSortColumnId() == 0)
        return;

    header->setSortColumnId (0, false);
    if (! keepsOrder() && mode != noMode)
        sortByColumnsInBackground (false);
}

void ID3ViewComponent::tableColumnDraggingChanged (juce::TableHeaderComponent* header, int columnIdNowBeingDragged)
{
    StringTableListBox::tableColumnDraggingChanged (header, columnIdNowBeingDragged);
    if (columnIdNowBeingDragged == 0 && ! keepsOrder() && mode != noMode)
        sortByColumnsInBackground (false);
}

void ID3ViewComponent::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    const int row = getLastRowSelected();
    if (row < 0 || wheel.deltaY == 0.0f)
        return;

    if (wheel.deltaY > 0.0f && row > 0)
        selectRow (row - 1);
    else if (wheel.deltaY < 0.0f && row < getNumRows() - 1)
        selectRow (row + 1);
}
}
