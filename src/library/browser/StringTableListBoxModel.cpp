#include "library/browser/StringTableListBoxModel.h"

#include "library/browser/StringTableListBox.h"
#include "library/browser/StringTableListBoxListener.h"

namespace zund
{
StringTableListBoxModel::StringTableListBoxModel (StringTableListBox& ownerTable)
    : owner (ownerTable)
{
}

StringTableListBoxModel::~StringTableListBoxModel() = default;

const StringTableRow* StringTableListBoxModel::getRow (int index) const
{
    return rows[index]; // null out of range
}

StringTableRow* StringTableListBoxModel::getRow (int index)
{
    return rows[index];
}

int StringTableListBoxModel::getNumRows()
{
    return rows.size();
}

juce::Colour StringTableListBoxModel::rowBackgroundColour (int state, int rowNumber, bool rowIsSelected)
{
    auto colour = state == StringTableRow::normal        ? juce::Colour (0xffadd8e6)
                  : state == StringTableRow::addedToCase ? juce::Colour (0xffffff00)
                                                         : juce::Colour (0xffff0000);
    colour = colour.withAlpha (0.75f);
    if (rowNumber % 2 != 0)
        colour = colour.darker (0.1f);
    if (rowIsSelected)
        colour = colour.darker (0.8f);
    return colour.withMultipliedAlpha (0.35f);
}

void StringTableListBoxModel::paintRowBackground (juce::Graphics& g, int rowNumber, int, int, bool rowIsSelected)
{
    if (const auto* row = getRow (rowNumber))
        g.fillAll (rowBackgroundColour (row->state, rowNumber, rowIsSelected));
}

void StringTableListBoxModel::paintCell (juce::Graphics& g, int rowNumber, int columnId, int width, int height,
                                         bool)
{
    g.setColour (juce::Colours::black);
    g.fillRect (0, height - 1, width, 1);
    g.fillRect (width - 1, 0, 1, height);

    const auto* row = getRow (rowNumber);
    if (row == nullptr)
        return;

    g.setFont (juce::Font (13.0f));
    g.setColour (row->colour);
    g.drawText (row->cells[columnId - 1], 2, 0, width - 6, height, juce::Justification::centredLeft, false);
}

void StringTableListBoxModel::cellClicked (int rowNumber, int columnId, const juce::MouseEvent& e)
{
    if (auto* listener = owner.getListener())
        listener->cellClicked (&owner, rowNumber, columnId, e);
}

void StringTableListBoxModel::cellDoubleClicked (int rowNumber, int columnId, const juce::MouseEvent& e)
{
    if (auto* listener = owner.getListener())
        listener->cellDoubleClicked (&owner, rowNumber, columnId, e);
}

void StringTableListBoxModel::sortOrderChanged (int newSortColumnId, bool isForwards)
{
    const int column = newSortColumnId - 1;
    StringTableRowSorter::sort (
        rows,
        [column, isForwards] (const StringTableRow& a, const StringTableRow& b)
        {
            const int result = a.cells[column].compareIgnoreCase (b.cells[column]);
            return isForwards ? result : -result;
        },
        nullptr);

    owner.repaint();
}

juce::var StringTableListBoxModel::getDragSourceDescription (const juce::SparseSet<int>&)
{
    return dragDescription;
}
}
