#include "library/tasks/RecordUpdater.h"

#include "common/files/FileFacts.h"

namespace zund
{
RecordUpdater::RecordUpdater (ID3DataBase& db, TaskProgress& taskProgress) : database (db), progress (taskProgress)
{
}

void RecordUpdater::addFile (const juce::File& file)
{
    update (file, false, false, nullptr);
}

void RecordUpdater::rescanFile (const juce::File& file)
{
    update (file, true, false, nullptr);
}

void RecordUpdater::changeRecord (const juce::File& file, const Change& change)
{
    update (file, false, true, change);
}

void RecordUpdater::update (const juce::File& file, bool readKnownFile, bool evenWhenMissing, const Change& change)
{
    const auto path = file.getFullPathName();
    ID3DataBaseEntry readCopy;
    bool known = false;
    {
        const auto hold = progress.holdResults();
        if (! hold)
            return;
        const juce::ScopedLock sl (database.getLock());
        if (auto* record = database.getEntry (database.findIndex (path)))
        {
            if (! readKnownFile)
            {
                store (*record, change);
                return;
            }
            readCopy = *record;
            known = true;
        }
    }

    const bool wasRead = reader.read (readCopy, file);
    if (! wasRead && ! known && ! evenWhenMissing && ! isRegularFile (file))
        return;

    // Someone else may have added or removed the record while the file was read.
    const auto hold = progress.holdResults();
    if (! hold)
        return;
    const juce::ScopedLock sl (database.getLock());
    if (auto* record = database.getEntry (database.findIndex (path)))
    {
        if (wasRead)
            SongFileReader::copyFileInfo (readCopy, *record);
        store (*record, change);
        return;
    }

    auto record = std::make_unique<ID3DataBaseEntry> (readCopy);
    record->filename = path;
    if (change != nullptr)
        change (*record);
    record->setValid();
    database.insertEntry (std::move (record));
}

void RecordUpdater::store (ID3DataBaseEntry& record, const Change& change)
{
    if (change != nullptr)
        change (record);
    record.setValid();
    database.markDirty();
}
}
