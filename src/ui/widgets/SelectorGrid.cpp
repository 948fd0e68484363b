#include "ui/widgets/SelectorGrid.h"

namespace zund
{
SelectorGrid::SelectorGrid (int id, ExComponentListener* listener)
    : ExComponent (id, listener, true)
{
    setTextStyle (13.0f, juce::Font::bold);
}

void SelectorGrid::setRows (int numRows)
{
    rows = juce::jmax (0, numRows);
    cellCount = rows * columns;
    resized();
}

void SelectorGrid::setColumns (int numColumns)
{
    columns = juce::jmax (0, numColumns);
    cellCount = rows * columns;
    resized();
}

void SelectorGrid::setCellTexts (const juce::StringArray& texts)
{
    cellTexts = texts;
    markDirty();
}

void SelectorGrid::setCellValues (const juce::Array<float>& values)
{
    cellValues = values;
}

float SelectorGrid::getCellValue (int index) const noexcept
{
    if (! isCell (index))
        return 0.0f;
    return index < cellValues.size() ? cellValues.getUnchecked (index) : (float) index;
}

void SelectorGrid::setValue (float newValue, bool notify)
{
    newValue = valueOrDefault (newValue);
    exchangeValue (newValue);

    // Compared before truncating: a value far outside (or infinite) never
    // becomes an int, and leaves the selection alone.
    const float position = (float) (cellCount - 1) * newValue;
    if (position > -1.0f && position < (float) cellCount)
        selectIndex ((int) position, notify);
}

void SelectorGrid::selectIndex (int index, bool notify)
{
    if (! isCell (index))
        return;
    selected.store (index);
    // A one-cell grid has only the value 0.
    exchangeValue (cellCount > 1 ? (float) index / (float) (cellCount - 1) : 0.0f);
    markDirty();
    if (notify)
        notifyListener();
}

int SelectorGrid::cellAt (int x, int y) const noexcept
{
    if (cellWidth <= 0.0f || cellHeight <= 0.0f)
        return -1;
    const int column = juce::jlimit (0, columns - 1, (int) ((float) x / cellWidth));
    const int row = juce::jlimit (0, rows - 1, (int) ((float) y / cellHeight));
    return row * columns + column;
}

void SelectorGrid::resized()
{
    const int w = getWidth(), h = getHeight();
    if (w > 0 && h > 0)
    {
        cellWidth = columns >= 1 ? (float) w / (float) columns : 0.0f;
        cellHeight = rows >= 1 ? (float) h / (float) rows : 0.0f;
    }
    repaint();
}

void SelectorGrid::paint (juce::Graphics& g)
{
    if (cellWidth <= 0.0f || cellHeight <= 0.0f)
        return;
    const int chosen = selected.load();

    for (int r = 0; r < rows; ++r)
    {
        for (int c = 0; c < columns; ++c)
        {
            const int i = r * columns + c;
            const int x = (int) ((float) c * cellWidth), y = (int) ((float) r * cellHeight);
            // Neighbouring cells share their border line; the last ones reach the edge.
            const int w = c == columns - 1 ? getWidth() - x : (int) cellWidth + 1;
            const int h = r == rows - 1 ? getHeight() - y : (int) cellHeight + 1;

            auto base = i == chosen ? juce::Colour (0xff800020) : juce::Colour::greyLevel (0.0f);
            if (i == hover)
                base = base.brighter (0.3f);
            drawButtonBox (g, base.brighter (0.5f), base, x, y, w, h, i == hover, cellTexts[i], getTextHeight(),
                           getTextStyle());
        }
    }
}

void SelectorGrid::hoverAt (const juce::MouseEvent& e)
{
    const int cell = cellAt (e.x, e.y);
    if (cell != hover)
    {
        hover = cell;
        repaint();
    }
}

void SelectorGrid::selectAt (const juce::MouseEvent& e)
{
    const int cell = cellAt (e.x, e.y);
    if (cell == selected.load())
        return;
    selectIndex (cell, true); // a cell outside the grid (none while unsized) is ignored
    repaint();
}

void SelectorGrid::mouseMove (const juce::MouseEvent& e)
{
    hoverAt (e);
}

void SelectorGrid::mouseExit (const juce::MouseEvent& e)
{
    hover = -1;
    ExComponent::mouseExit (e);
}

void SelectorGrid::mouseDown (const juce::MouseEvent& e)
{
    dispatchMouseDown (e);
    selectAt (e);
}

void SelectorGrid::mouseDrag (const juce::MouseEvent& e)
{
    hoverAt (e);
    if (e.mods.isLeftButtonDown())
        selectAt (e);
}
}
