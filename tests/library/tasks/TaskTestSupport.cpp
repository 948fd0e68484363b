#include "TaskTestSupport.h"

#include "support/AudioFixtures.h"

namespace zund::test
{
juce::File writeSmallWav (const juce::File& file, int frames)
{
    file.getParentDirectory().createDirectory();
    writeAudioFile (file, FileKind::wav, 8000.0, 1, 16, frames, [] (juce::int64, int) { return 0.25f; });
    return file;
}

std::unique_ptr<ID3DataBaseEntry> makeStoredRecord (const juce::String& path, const juce::String& artist)
{
    auto record = std::make_unique<ID3DataBaseEntry>();
    record->filename = path;
    record->artist = artist;
    record->setValid();
    return record;
}

std::optional<ID3DataBaseEntry> recordAt (const ID3DataBase& database, const juce::String& path)
{
    const juce::ScopedLock sl (database.getLock());
    if (const auto* record = database.getEntry (database.findIndex (path)))
        return *record;
    return std::nullopt;
}

juce::String artistAt (const ID3DataBase& database, const juce::String& path)
{
    const auto record = recordAt (database, path);
    return record ? record->artist : juce::String ("<none>");
}
}
