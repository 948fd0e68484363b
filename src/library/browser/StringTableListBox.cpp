#include "library/browser/StringTableListBox.h"

#include "library/browser/RowSelection.h"

namespace zund
{
namespace
{
// Freeing this many rows (a search keystroke over a large database view) would
// hold up the message thread: it is done in the background.
constexpr int rowsFreedInTheBackground = 20000;
}

StringTableListBox::StringTableListBox (const juce::String& componentName)
    : juce::TableListBox (componentName, nullptr)
{
    setModel (&model);
}

StringTableListBox::~StringTableListBox()
{
    cancelPendingUpdate();
    setModel (nullptr); // the model dies before the framework's table
}

void StringTableListBox::handleAsyncUpdate()
{
    updateContent();
}

bool StringTableListBox::isColumnIndex (int columnIndex) const
{
    return juce::isPositiveAndBelow (columnIndex, getHeader().getNumColumns (false));
}

void StringTableListBox::addEmptyRow()
{
    auto* row = model.rows.add (new StringTableRow());
    for (int i = getHeader().getNumColumns (false); --i >= 0;)
        row->cells.add ({});

    // Many rows arrive at once from the song table's worker: one update for all.
    triggerAsyncUpdate();
}

void StringTableListBox::addRows (std::vector<std::unique_ptr<StringTableRow>>& newRows)
{
    const int numColumns = getHeader().getNumColumns (false);
    for (auto& row : newRows)
    {
        while (row->cells.size() < numColumns)
            row->cells.add ({});
        model.rows.add (row.release());
    }
    newRows.clear();
    triggerAsyncUpdate();
}

void StringTableListBox::setCellText (int columnIndex, int row, const juce::String& text)
{
    auto* r = model.getRow (row);
    if (r == nullptr || ! isColumnIndex (columnIndex))
        return;

    // A row made before a column was added has fewer cells.
    while (r->cells.size() <= columnIndex)
        r->cells.add ({});
    r->cells.set (columnIndex, text);
    repaintRow (row);
}

juce::String StringTableListBox::getCellText (int columnIndex, int row) const
{
    const auto* r = model.getRow (row);
    if (r == nullptr || ! isColumnIndex (columnIndex))
        return {};
    return r->cells[columnIndex];
}

juce::StringArray StringTableListBox::getRowCells (int row) const
{
    const auto* r = model.getRow (row);
    return r != nullptr ? r->cells : juce::StringArray();
}

void StringTableListBox::setRowState (int row, int state)
{
    if (auto* r = model.getRow (row))
    {
        r->state = state;
        repaintRow (row);
    }
}

int StringTableListBox::getRowState (int row) const
{
    const auto* r = model.getRow (row);
    return r != nullptr ? r->state : -1;
}

void StringTableListBox::setSelectedRowsState (int state)
{
    for (const int row : RowSelection::rowsOf (getSelectedRows()))
        setRowState (row, state);
}

void StringTableListBox::setRowColour (int row, juce::Colour colour)
{
    if (auto* r = model.getRow (row))
    {
        r->colour = colour;
        repaintRow (row);
    }
}

void StringTableListBox::swapRows (int a, int b)
{
    auto* ra = model.getRow (a);
    auto* rb = model.getRow (b);
    if (ra == nullptr || rb == nullptr)
        return;

    ra->cells.swapWith (rb->cells);
    repaintRow (a);
    repaintRow (b);
}

void StringTableListBox::removeRow (int index)
{
    // Through the one-pass removal: rebuilding the selection range by range
    // sorts the framework's set on every add.
    juce::SparseSet<int> row;
    row.addRange ({ index, index + 1 });
    removeRows (row);
}

void StringTableListBox::removeRows (const juce::SparseSet<int>& rowsToRemove)
{
    const int count = model.rows.size();
    const auto removing = RowSelection::flagsOf (rowsToRemove, count);
    const auto selected = RowSelection::flagsOf (getSelectedRows(), count);
    if (std::find (removing.begin(), removing.end(), 1) == removing.end())
        return;

    // The rows that stay move up, their selection with them.
    std::vector<char> keptSelection;
    keptSelection.reserve ((size_t) count);
    juce::Array<StringTableRow*> remaining;
    remaining.ensureStorageAllocated (count);
    juce::OwnedArray<StringTableRow> removed;
    for (int i = 0; i < count; ++i)
    {
        auto* row = model.rows.getUnchecked (i);
        if (removing[(size_t) i] != 0)
        {
            removed.add (row);
            continue;
        }
        keptSelection.push_back (selected[(size_t) i]);
        remaining.add (row);
    }

    model.rows.clear (false);
    model.rows.addArray (remaining);
    updateContent();
    setSelectedRows (RowSelection::setOf (keptSelection), juce::dontSendNotification);
}

void StringTableListBox::clearRows()
{
    if (model.rows.size() >= rowsFreedInTheBackground)
    {
        auto old = std::make_shared<juce::OwnedArray<StringTableRow>>();
        old->swapWith (model.rows);
        if (rowFreer == nullptr)
            rowFreer = std::make_unique<juce::ThreadPool> (1);
        rowFreer->addJob ([old] { old->clear(); });
    }
    model.rows.clear();
    updateContent();
}

void StringTableListBox::reorderRows (const std::vector<int>& newOrder)
{
    const int count = model.rows.size();
    if ((int) newOrder.size() != count)
        return;

    std::vector<char> placed ((size_t) count, 0);
    for (const int old : newOrder)
    {
        if (! juce::isPositiveAndBelow (old, count) || placed[(size_t) old] != 0)
            return;
        placed[(size_t) old] = 1;
    }

    // The selection follows its rows.
    const auto wasSelected = RowSelection::flagsOf (getSelectedRows(), count);
    std::vector<char> selectedAfter ((size_t) count, 0);
    juce::Array<StringTableRow*> reordered;
    reordered.ensureStorageAllocated (count);
    for (int place = 0; place < count; ++place)
    {
        const int old = newOrder[(size_t) place];
        reordered.add (model.rows.getUnchecked (old));
        selectedAfter[(size_t) place] = wasSelected[(size_t) old];
    }
    for (int i = 0; i < count; ++i)
        model.rows.set (i, reordered.getUnchecked (i), false);

    updateContent();
    setSelectedRows (RowSelection::setOf (selectedAfter), juce::dontSendNotification);
    repaint();
}

bool StringTableListBox::sortRows (const StringTableRowSorter::Comparator& compare, juce::Thread* threadToWatch)
{
    return StringTableRowSorter::sort (model.rows, compare, threadToWatch);
}
}
