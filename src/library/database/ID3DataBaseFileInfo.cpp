#include "library/database/ID3DataBase.h"

#include "common/AudioFileTypes.h"

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
        if (file.existsAsFile() && (forceRescan || (rescanIfChanged && record->hasFileChanged())))
            wasScanned = readFileInfo (record, file);
        return record;
    }

    if (! file.existsAsFile())
        return nullptr;

    auto record = std::make_unique<ID3DataBaseEntry>();
    wasScanned = readFileInfo (record.get(), file);
    record->filename = path;
    auto* added = record.get();
    insertEntry (std::move (record));
    return added;
}

void ID3DataBase::addFile (const juce::File& file, bool rescanIfChanged)
{
    if (! file.existsAsFile() || ! isSupportedAudioFile (file))
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
