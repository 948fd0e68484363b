#include "library/database/ID3DataBase.h"

#include "common/files/AudioFileTypes.h"
#include "common/files/FileFacts.h"

namespace zund
{
bool ID3DataBase::readFileInfo (ID3DataBaseEntry* record, const juce::File& file)
{
    if (record == nullptr)
        return false;

    const juce::ScopedLock sl (databaseLock);
    if (! fileReader.read (*record, file))
        return false;

    if (record->valid)
        markDirty();
    return true;
}

ID3DataBaseEntry* ID3DataBase::addOrUpdateFile (const juce::File& file, bool& wasScanned, bool forceRescan,
                                                bool rescanIfChanged)
{
    const juce::ScopedLock sl (databaseLock);
    wasScanned = false;
    const auto path = file.getFullPathName();

    if (auto* record = entries.at (entries.find (path)))
    {
        // A file that has gone keeps what the record knows.
        if (isRegularFile (file) && (forceRescan || (rescanIfChanged && record->hasFileChanged())))
            wasScanned = readFileInfo (record, file);
        return record;
    }

    if (! isRegularFile (file))
        return nullptr; // gone, or a FIFO or device named like a song: not an audio file

    auto record = std::make_unique<ID3DataBaseEntry>();
    wasScanned = readFileInfo (record.get(), file);
    record->filename = path;
    auto* added = record.get();
    insertEntry (std::move (record));
    return added;
}

bool ID3DataBase::editTags (const juce::File& file, const std::function<void (ID3DataBaseEntry&)>& change)
{
    const juce::ScopedLock sl (databaseLock);
    bool scanned = false;
    auto* record = addOrUpdateFile (file, scanned, false, false);
    if (record == nullptr)
        return false;

    const ID3DataBaseEntry before (*record);
    if (change != nullptr)
        change (*record);
    markDirty();
    if (record->writeTagsToFile())
        return true;

    // The file keeps the texts it had: the record shows those (the file may hold
    // others than the record knew), or its own earlier ones when the file cannot
    // be read. The mark stays, so the row shows the failure.
    ID3DataBaseEntry fromFile (before);
    if (fileReader.read (fromFile, file))
        SongFileReader::copyFileInfo (fromFile, *record);
    else
        SongFileReader::copyFileInfo (before, *record);
    record->couldNotWriteMetadata = true;
    return false;
}

void ID3DataBase::addFile (const juce::File& file, bool rescanIfChanged)
{
    if (! isRegularFile (file) || ! isSupportedAudioFile (file))
        return;

    const juce::ScopedLock sl (databaseLock);
    bool scanned = false;
    if (auto* record = addOrUpdateFile (file, scanned, false, rescanIfChanged))
    {
        if (! record->valid)
            markDirty();
        record->setValid();
    }
}
}
