#pragma once

#include "ui/widgets/ExComponent.h"

namespace zund
{
/** A grid of text cells of which exactly one is selected. The value encodes the
    cell: index / (cells - 1). Each cell may carry a number of its own (a loop
    length, an effect type); without one it is the cell's index.

    The owner sets the rows, then the columns, then the texts (and values). */
class SelectorGrid : public ExComponent
{
public:
    SelectorGrid (int id, ExComponentListener* listener);

    void setRows (int numRows);
    void setColumns (int numColumns);
    int getNumRows() const noexcept { return rows; }
    int getNumColumns() const noexcept { return columns; }
    int getNumCells() const noexcept { return cellCount; }

    /** Texts by index (row x columns + column); marks dirty. */
    void setCellTexts (const juce::StringArray& texts);
    const juce::StringArray& getCellTexts() const noexcept { return cellTexts; }
    /** Numbers by index; cells without one give their index. Set while the
        interface is built. */
    void setCellValues (const juce::Array<float>& values);
    /** The number of a cell; 0 outside the grid. Any thread. */
    float getCellValue (int index) const noexcept;

    /** Stores the value and selects cell trunc((cells - 1) x value) when that is
        a cell; any other value leaves the selection as it is. Any thread. */
    void setValue (float newValue, bool notify) override;
    /** Selects a cell of the grid (others are ignored): value index / (cells - 1),
        dirty, notified when asked. Any thread. */
    void selectIndex (int index, bool notify);
    int getSelectedIndex() const noexcept { return selected.load(); }

    /** The cell under a point, limited to the grid; -1 while the grid has no size. */
    int cellAt (int x, int y) const noexcept;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;

private:
    void hoverAt (const juce::MouseEvent& e);
    void selectAt (const juce::MouseEvent& e);
    bool isCell (int index) const noexcept { return index >= 0 && index < cellCount; }

    juce::StringArray cellTexts;
    juce::Array<float> cellValues;
    std::atomic<int> selected { 0 };
    int hover = -1;
    int rows = 0;
    int columns = 0;
    int cellCount = 0;
    float cellWidth = 0.0f, cellHeight = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SelectorGrid)
};
}
