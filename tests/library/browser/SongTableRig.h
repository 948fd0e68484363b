#pragma once

#include "library/browser/ID3ViewComponent.h"
#include "library/browser/ID3ViewComponentListener.h"
#include "library/database/ID3DataBase.h"
#include "support/TempFolder.h"

#include <atomic>
#include <memory>

namespace zund::test
{
/** A song table on a database in a temporary folder, with a listener that
    records what the table reports. */
struct SongTableRig : public ID3ViewComponentListener
{
    SongTableRig();
    ~SongTableRig() override;

    /** A stored record for a path (the file need not exist). */
    void addRecord (const juce::String& path, const juce::String& artist, const juce::String& bpm = {});
    /** As many records as asked, "/music/folder/song<i>.mp3" with artist
        "artist <i>"; returns their paths in that order. */
    juce::StringArray addRecords (int count);

    /** Shows the list as a case, as the tree does, and waits for the fill. */
    bool showCase (juce::StringArray& list);

    /** Runs the message loop until the worker is done and has said so. */
    bool waitUntilIdle (int timeoutMs = 20000);
    /** Runs the message loop until the table shows at least this many rows. */
    bool waitForRows (int rows, int timeoutMs = 20000);

    juce::StringArray column (int columnId) const;
    juce::StringArray fullPaths() const;

    void cellClicked (StringTableListBox*, int, int, const juce::MouseEvent&) override {}
    void cellDoubleClicked (StringTableListBox*, int, int, const juce::MouseEvent&) override {}
    void workingStateChanged (bool isWorking) override { working = isWorking; }
    void numRowsChanged (int numRows) override { reportedCounts.add (numRows); }

    TempFolder temp;
    std::unique_ptr<ID3DataBase> database;
    std::unique_ptr<ID3ViewComponent> table;
    bool working = false;
    juce::Array<int> reportedCounts;
};
}
