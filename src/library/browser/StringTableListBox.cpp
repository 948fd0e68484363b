#include "library/browser/StringTableListBox.h"

namespace zund
{
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
    for (int i = 0; i < getNumSelectedRows(); ++i)
        setRowState (getSelectedRow (i), state);
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
    if (model.getRow (index) == nullptr)
        return;

    // The selection follows its rows: below the removed one they move up by one.
    const auto selected = getSelectedRows();
    juce::SparseSet<int> kept;
    for (int i = 0; i < selected.getNumRanges(); ++i)
    {
        const auto range = selected.getRange (i);
        kept.addRange (range.getIntersectionWith ({ 0, index }));
        kept.addRange (range.getIntersectionWith ({ index + 1, std::numeric_limits<int>::max() }) - 1);
    }

    model.rows.remove (index);
    setSelectedRows (kept, juce::dontSendNotification);
    updateContent();
}

void StringTableListBox::removeRows (const juce::SparseSet<int>& rowsToRemove)
{
    const auto selected = getSelectedRows();
    juce::SparseSet<int> kept;
    juce::Array<StringTableRow*> remaining;
    juce::OwnedArray<StringTableRow> removed;
    for (int i = 0; i < model.rows.size(); ++i)
    {
        auto* row = model.rows.getUnchecked (i);
        if (rowsToRemove.contains (i))
        {
            removed.add (row);
            continue;
        }
        if (selected.contains (i))
            kept.addRange ({ remaining.size(), remaining.size() + 1 });
        remaining.add (row);
    }
    if (removed.isEmpty())
        return;

    model.rows.clear (false);
    for (auto* row : remaining)
        model.rows.add (row);
    updateContent();
    setSelectedRows (kept, juce::dontSendNotification);
}

void StringTableListBox::clearRows()
{
    model.rows.clear();
    updateContent();
}

void StringTableListBox::reorderRows (const std::vector<int>& newOrder)
{
    const int count = model.rows.size();
    if ((int) newOrder.size() != count)
        return;

    std::vector<int> newPlaceOf ((size_t) count, -1);
    for (int place = 0; place < count; ++place)
    {
        const int old = newOrder[(size_t) place];
        if (! juce::isPositiveAndBelow (old, count) || newPlaceOf[(size_t) old] >= 0)
            return;
        newPlaceOf[(size_t) old] = place;
    }

    const auto selected = getSelectedRows();
    juce::SparseSet<int> moved;
    for (int i = 0; i < selected.size(); ++i)
        if (juce::isPositiveAndBelow (selected[i], count))
            moved.addRange ({ newPlaceOf[(size_t) selected[i]], newPlaceOf[(size_t) selected[i]] + 1 });

    juce::Array<StringTableRow*> reordered;
    reordered.ensureStorageAllocated (count);
    for (const int old : newOrder)
        reordered.add (model.rows.getUnchecked (old));
    for (int i = 0; i < count; ++i)
        model.rows.set (i, reordered.getUnchecked (i), false);

    updateContent();
    setSelectedRows (moved, juce::dontSendNotification);
    repaint();
}

bool StringTableListBox::sortRows (const StringTableRowSorter::Comparator& compare, juce::Thread* threadToWatch)
{
    return StringTableRowSorter::sort (model.rows, compare, threadToWatch);
}
}
