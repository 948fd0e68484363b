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

void StringTableListBox::clearRows()
{
    model.rows.clear();
    updateContent();
}

bool StringTableListBox::sortRows (const StringTableRowSorter::Comparator& compare, juce::Thread* threadToWatch)
{
    return StringTableRowSorter::sort (model.rows, compare, threadToWatch);
}
}
