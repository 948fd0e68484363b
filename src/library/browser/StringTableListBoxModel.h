#pragma once

#include "library/browser/StringTableRow.h"
#include "library/browser/StringTableRowSorter.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace zund
{
class StringTableListBox;

/** The rows of a StringTableListBox and their painting: a background tinted
    by the row's state, one text per cell. Sorts by a clicked column, passes
    clicks to the table's listener and names every drag "StringTableListBox".
    Every row index is checked: the table may ask for rows that were just
    removed. */
class StringTableListBoxModel : public juce::TableListBoxModel
{
public:
    explicit StringTableListBoxModel (StringTableListBox& ownerTable);
    ~StringTableListBoxModel() override;

    int getNumRows() override;
    void paintRowBackground (juce::Graphics& g, int rowNumber, int width, int height, bool rowIsSelected) override;
    void paintCell (juce::Graphics& g, int rowNumber, int columnId, int width, int height,
                    bool rowIsSelected) override;
    void cellClicked (int rowNumber, int columnId, const juce::MouseEvent& e) override;
    void cellDoubleClicked (int rowNumber, int columnId, const juce::MouseEvent& e) override;
    void sortOrderChanged (int newSortColumnId, bool isForwards) override;
    juce::var getDragSourceDescription (const juce::SparseSet<int>& currentlySelectedRows) override;

    /** The background of a row in the given state (before the table's own
        drawing): light blue, yellow in a case, red when loaded. */
    static juce::Colour rowBackgroundColour (int state, int rowNumber, bool rowIsSelected);

    static constexpr const char* dragDescription = "StringTableListBox";

private:
    friend class StringTableListBox;

    const StringTableRow* getRow (int index) const;
    StringTableRow* getRow (int index);

    juce::OwnedArray<StringTableRow> rows;
    StringTableListBox& owner;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StringTableListBoxModel)
};
}
