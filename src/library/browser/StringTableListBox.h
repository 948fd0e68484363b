#pragma once

#include "library/browser/StringTableListBoxModel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

namespace zund
{
class StringTableListBoxListener;

/** A table of text rows with its own model: each row holds one text per
    column, a state that tints its background and a text colour. Base of the
    song table; drags out of it carry the description "StringTableListBox".

    Belongs to the message thread; a worker may change rows while it holds the
    message-manager lock. Out-of-range rows and columns are ignored. */
class StringTableListBox : public juce::TableListBox, private juce::AsyncUpdater
{
public:
    explicit StringTableListBox (const juce::String& componentName);
    ~StringTableListBox() override;

    void setListener (StringTableListBoxListener* newListener) noexcept { listener = newListener; }
    StringTableListBoxListener* getListener() const noexcept { return listener; }

    /** A row in state 0, grey text, one empty cell per header column (hidden
        columns included). The table shows it after the next message loop pass. */
    void addEmptyRow();
    /** Appends made rows (cells padded to the header's column count) in one go;
        the table shows them after the next message loop pass. */
    void addRows (std::vector<std::unique_ptr<StringTableRow>>& newRows);

    /** The number of rows (also from const code). */
    int getRowCount() const noexcept { return model.rows.size(); }

    /** columnIndex = column id - 1. */
    void setCellText (int columnIndex, int row, const juce::String& text);
    /** Empty for a row or column index out of range. */
    juce::String getCellText (int columnIndex, int row) const;
    /** All cell texts of a row; empty for a row out of range. */
    juce::StringArray getRowCells (int row) const;

    void setRowState (int row, int state);
    /** -1 for a row out of range. */
    int getRowState (int row) const;
    void setSelectedRowsState (int state);
    void setRowColour (int row, juce::Colour colour);

    /** Exchanges the two rows' texts; colours, states and the selection stay
        in place. */
    void swapRows (int a, int b);
    /** The rows below move up, and so does their selection. */
    void removeRow (int index);
    /** Removes every row of the set at once; the selection of the others
        follows them. */
    void removeRows (const juce::SparseSet<int>& rowsToRemove);
    /** Many rows are freed in the background. */
    void clearRows();

    /** Puts the rows in a new order: newOrder[i] is the index of the row that
        goes to place i (a permutation of all rows; anything else is ignored).
        The selection follows its rows. */
    void reorderRows (const std::vector<int>& newOrder);

    /** Sorts the rows with the caller's comparison, holding the message-manager
        lock for one range at a time (see StringTableRowSorter). Returns false
        when the sort ended early. */
    bool sortRows (const StringTableRowSorter::Comparator& compare, juce::Thread* threadToWatch);

private:
    void handleAsyncUpdate() override;
    bool isColumnIndex (int columnIndex) const;

    StringTableListBoxListener* listener = nullptr;
    StringTableListBoxModel model { *this };
    std::unique_ptr<juce::ThreadPool> rowFreer; // made at the first large clear

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StringTableListBox)
};
}
