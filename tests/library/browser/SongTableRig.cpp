#include "SongTableRig.h"

#include "support/UiEvents.h"

namespace zund::test
{
SongTableRig::SongTableRig()
    : database (std::make_unique<ID3DataBase> (temp.file ("database.xml"))),
      table (std::make_unique<ID3ViewComponent> (database.get()))
{
    table->setListener (this);
    table->setBounds (0, 0, 900, 400);
}

SongTableRig::~SongTableRig()
{
    table.reset();
}

void SongTableRig::addRecord (const juce::String& path, const juce::String& artist, const juce::String& bpm)
{
    auto record = std::make_unique<ID3DataBaseEntry>();
    record->filename = path;
    record->artist = artist;
    record->bpm = bpm;
    record->seconds = 200;
    record->setValid();
    database->insertEntry (std::move (record));
}

juce::StringArray SongTableRig::addRecords (int count)
{
    juce::StringArray paths;
    for (int i = 0; i < count; ++i)
    {
        paths.add ("/music/folder/song" + juce::String (i) + ".mp3");
        addRecord (paths[i], "artist " + juce::String (i));
    }
    return paths;
}

bool SongTableRig::showCase (juce::StringArray& list)
{
    table->setKeepOrder (true);
    table->showCase (&list);
    return waitUntilIdle();
}

bool SongTableRig::waitUntilIdle (int timeoutMs)
{
    // The worker's last messages arrive after its thread has ended.
    const bool done = pumpMessagesUntil ([this] { return ! table->isWorking() && ! working; }, timeoutMs);
    pumpMessages (20);
    return done;
}

bool SongTableRig::waitForRows (int rows, int timeoutMs)
{
    return pumpMessagesUntil ([this, rows] { return table->getNumRows() >= rows; }, timeoutMs);
}

juce::StringArray SongTableRig::column (int columnId) const
{
    juce::StringArray texts;
    for (int row = 0; row < table->getRowCount(); ++row)
        texts.add (table->getCellText (columnId - 1, row));
    return texts;
}

juce::StringArray SongTableRig::fullPaths() const
{
    juce::StringArray paths;
    for (int row = 0; row < table->getRowCount(); ++row)
        paths.add (table->getFullPathOfRow (row));
    return paths;
}
}
