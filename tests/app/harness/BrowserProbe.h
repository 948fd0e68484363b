#pragma once

#include "support/TempFolder.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <optional>

namespace zund
{
class ZundBrowser;
}

namespace zund::test
{
/** Where the browser's tree items and song-table rows are in the program's
    main window. It builds a browser headlessly from copies of the program
    folder's "database.xml" and "TreeView.xml" (the program reads the same
    files at start, so its tree and its sorted table come out the same), at
    the browser's place in the window (LayoutProbe::browserArea), and asks it.
    Results are in window-relative pixels. Message thread; no other probe may
    live meanwhile (each points the program folder at its own). */
class BrowserProbe
{
public:
    BrowserProbe (const juce::File& programFolder, juce::Rectangle<int> browserArea);
    ~BrowserProbe();

    /** The row of the first shown tree item with that name (a song folder's
        name, "Database", "Current Playlist"); nothing when no such item shows. */
    std::optional<juce::Rectangle<int>> treeItem (const juce::String& name) const;

    /** Opens the shown tree item with that name, as the user opened it in
        the program (by a double click on it). */
    void openTreeItem (const juce::String& name);

    /** The song-table row of the file once the tree item is selected. */
    std::optional<juce::Rectangle<int>> songRow (const juce::String& treeItemName, const juce::File& file);

    /** Where row `row` of the song table is drawn, filled or not. */
    juce::Rectangle<int> tableRow (int row) const;

private:
    juce::Point<int> origin;
    ScopedProgramFolder folder;
    std::unique_ptr<ZundBrowser> browser;
};
}
