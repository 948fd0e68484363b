#include "library/browser/StringTableListBox.h"
#include "library/browser/StringTableListBoxListener.h"

#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

using namespace zund;

namespace
{
constexpr int rowHeight = 16;
constexpr int headerHeight = 20;

// A two-column table ("NAME", "GENRE", plus a hidden "POS") on black, so a
// row's tint reads straight off its pixels.
struct TableRig
{
    StringTableListBox table { "table" };

    TableRig()
    {
        auto& header = table.getHeader();
        header.addColumn ("NAME", 1, 120);
        header.addColumn ("GENRE", 2, 80);
        header.addColumn ("POS", 3, 40);
        header.setColumnVisible (3, false);
        table.setRowHeight (rowHeight);
        table.setHeaderHeight (headerHeight);
        table.setColour (juce::ListBox::backgroundColourId, juce::Colours::black);
        table.setBounds (0, 0, 240, 200);
    }

    void addRows (const juce::StringArray& names)
    {
        for (const auto& name : names)
        {
            table.addEmptyRow();
            table.setCellText (0, table.getNumRows() - 1, name);
            table.setCellText (2, table.getNumRows() - 1, juce::String (table.getNumRows() - 1));
        }
        test::pumpMessages (5); // the table takes new rows on the next loop pass
    }

    juce::StringArray column (int columnIndex)
    {
        juce::StringArray texts;
        for (int row = 0; row < table.getNumRows(); ++row)
            texts.add (table.getCellText (columnIndex, row));
        return texts;
    }

    // The header tells the table of a new sort column on the next loop pass.
    void sortBy (int columnId, bool forwards)
    {
        table.getHeader().setSortColumnId (columnId, forwards);
        test::pumpMessages (5);
    }

    juce::StringArray selectedNames() const
    {
        juce::StringArray names;
        for (int i = 0; i < table.getNumSelectedRows(); ++i)
            names.add (table.getCellText (0, table.getSelectedRow (i)));
        return names;
    }
};
}

TEST (StringTableListBox, headerClickSortsByItsColumnIgnoringCase)
{
    TableRig rig;
    rig.addRows ({ "b", "A", "C" });

    rig.sortBy (1, true);
    EXPECT_EQ (rig.column (0), juce::StringArray ({ "A", "b", "C" }));
    EXPECT_EQ (rig.column (2), juce::StringArray ({ "1", "0", "2" })) << "whole rows move";

    rig.sortBy (1, false);
    EXPECT_EQ (rig.column (0), juce::StringArray ({ "C", "b", "A" }));
}

TEST (StringTableListBox, sortsLargeTablesFullOfEqualTexts)
{
    TableRig rig;
    std::mt19937 random (7);
    juce::StringArray names;
    for (int i = 0; i < 3000; ++i)
        names.add (i % 3 == 0 ? juce::String() : "genre " + juce::String ((int) (random() % 9)));
    rig.addRows (names);

    rig.sortBy (1, true);
    auto sorted = rig.column (0);
    for (int i = 1; i < sorted.size(); ++i)
        ASSERT_LE (sorted[i - 1].compareIgnoreCase (sorted[i]), 0) << "row " << i;

    names.sort (true);
    sorted.sort (true);
    EXPECT_EQ (sorted, names) << "no row lost or doubled";
}

TEST (StringTableListBox, sortOnAWorkerEndsWhenRowsAreRemovedMeanwhile)
{
    TableRig rig;
    juce::StringArray names;
    for (int i = 0; i < 20000; ++i)
        names.add (juce::String (19999 - i).paddedLeft ('0', 5));
    rig.addRows (names);

    std::atomic<int> comparisons { 0 };
    std::atomic<int> result { -1 };
    std::thread worker ([&]
    {
        const bool done = rig.table.sortRows (
            [&] (const StringTableRow& a, const StringTableRow& b)
            {
                ++comparisons;
                return a.cells[0].compare (b.cells[0]);
            },
            nullptr);
        result = done ? 1 : 0;
    });

    bool removed = false;
    while (result < 0)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
        if (! removed && comparisons > 0)
        {
            rig.table.removeRow (0);
            removed = true;
        }
    }
    worker.join();

    EXPECT_EQ (result, 0);
    EXPECT_EQ (rig.table.getNumRows(), 19999);
}

TEST (StringTableListBox, rowTintFollowsStateParityAndSelection)
{
    struct Case
    {
        int state;
        int row;
        bool selected;
        juce::uint32 base;
    };
    const Case cases[] = {
        { 0, 0, false, 0xffadd8e6 }, { 0, 1, false, 0xffadd8e6 }, { 1, 2, false, 0xffffff00 },
        { 1, 3, true, 0xffffff00 },  { 2, 4, true, 0xffff0000 },  { 7, 5, false, 0xffff0000 },
    };

    TableRig rig;
    rig.addRows ({ "a", "b", "c", "d", "e", "f" });
    juce::SparseSet<int> selection;
    for (const auto& c : cases)
    {
        rig.table.setRowState (c.row, c.state);
        if (c.selected)
            selection.addRange ({ c.row, c.row + 1 });
    }
    rig.table.setSelectedRows (selection);

    const auto image = test::snapshotOf (rig.table);
    for (const auto& c : cases)
    {
        // Over black: each channel is the base, darkened by 0.1 on odd rows and
        // by 0.8 when selected (x 1 / (1 + amount)), times alpha 0.75 x 0.35.
        const float darken = (c.row % 2 != 0 ? 1.0f / 1.1f : 1.0f) * (c.selected ? 1.0f / 1.8f : 1.0f);
        const juce::Colour base (c.base);
        const auto pixel = image.getPixelAt (100, headerHeight + c.row * rowHeight + 3);
        EXPECT_NEAR (pixel.getRed(), base.getRed() * darken * 0.2625f, 2.0f) << "row " << c.row;
        EXPECT_NEAR (pixel.getGreen(), base.getGreen() * darken * 0.2625f, 2.0f) << "row " << c.row;
        EXPECT_NEAR (pixel.getBlue(), base.getBlue() * darken * 0.2625f, 2.0f) << "row " << c.row;
    }
}

TEST (StringTableListBox, removalAndSwapKeepTheSelectionOnItsRows)
{
    TableRig rig;
    rig.addRows ({ "r0", "r1", "r2", "r3", "r4" });
    juce::SparseSet<int> selection;
    selection.addRange ({ 1, 2 });
    selection.addRange ({ 3, 5 });
    rig.table.setSelectedRows (selection);

    rig.table.removeRow (2);
    EXPECT_EQ (rig.selectedNames(), juce::StringArray ({ "r1", "r3", "r4" }));
    rig.table.removeRow (1); // a selected row
    EXPECT_EQ (rig.selectedNames(), juce::StringArray ({ "r3", "r4" }));
    rig.table.removeRow (4);
    rig.table.removeRow (-1);
    EXPECT_EQ (rig.column (0), juce::StringArray ({ "r0", "r3", "r4" }));

    rig.table.setRowState (0, 2);
    rig.table.swapRows (0, 2);
    rig.table.swapRows (0, 3);
    EXPECT_EQ (rig.column (0), juce::StringArray ({ "r4", "r3", "r0" }));
    EXPECT_EQ (rig.table.getRowState (0), 2) << "the state stays with the row";
    EXPECT_EQ (rig.table.getSelectedRows().size(), 2);
    EXPECT_TRUE (rig.table.isRowSelected (1) && rig.table.isRowSelected (2));

    rig.table.clearRows();
    EXPECT_EQ (rig.table.getNumRows(), 0);
    EXPECT_EQ (rig.table.getNumSelectedRows(), 0);
}

TEST (StringTableListBox, cellsOutOfRangeAreIgnored)
{
    TableRig rig;
    rig.addRows ({ "only" });
    const int columns = rig.table.getHeader().getNumColumns (false);

    EXPECT_EQ (rig.table.getCellText (columns, 0), "");
    EXPECT_EQ (rig.table.getCellText (0, 1), "");
    EXPECT_EQ (rig.table.getCellText (-1, 0), "");
    rig.table.setCellText (columns, 0, "x");
    rig.table.setCellText (0, 5, "x");
    rig.table.setRowState (3, 1);
    EXPECT_EQ (rig.column (0), juce::StringArray ({ "only" }));
    EXPECT_EQ (rig.table.getCellText (2, 0), "0") << "hidden columns have cells too";

    // A row that was painted just before it went away.
    auto* model = rig.table.getModel();
    juce::Image image (juce::Image::ARGB, 50, 16, true);
    juce::Graphics g (image);
    model->paintRowBackground (g, 9, 50, 16, true);
    model->paintCell (g, 9, 1, 50, 16, true);
}

TEST (StringTableListBox, dragsAreDescribedAndClicksReachTheListener)
{
    struct Listener : StringTableListBoxListener
    {
        StringTableListBox* source = nullptr;
        int clicks = 0, doubleClicks = 0, lastRow = -1, lastColumn = -1;
        void cellClicked (StringTableListBox* s, int row, int column, const juce::MouseEvent&) override
        {
            source = s, ++clicks, lastRow = row, lastColumn = column;
        }
        void cellDoubleClicked (StringTableListBox* s, int row, int column, const juce::MouseEvent&) override
        {
            source = s, ++doubleClicks, lastRow = row, lastColumn = column;
        }
    } listener;

    TableRig rig;
    rig.addRows ({ "a", "b" });
    auto* model = rig.table.getModel();
    juce::SparseSet<int> rows;
    rows.addRange ({ 0, 2 });
    EXPECT_EQ (model->getDragSourceDescription (rows).toString(), "StringTableListBox");

    const auto e = test::mouseEventAt (rig.table, { 10, 30 });
    model->cellClicked (1, 2, e); // no listener yet
    rig.table.setListener (&listener);
    model->cellClicked (1, 2, e);
    model->cellDoubleClicked (0, 1, e);
    EXPECT_EQ (listener.source, &rig.table);
    EXPECT_EQ (listener.clicks, 1);
    EXPECT_EQ (listener.doubleClicks, 1);
    EXPECT_EQ (listener.lastRow, 0);
    EXPECT_EQ (listener.lastColumn, 1);
}
