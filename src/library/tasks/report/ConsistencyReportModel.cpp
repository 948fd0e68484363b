#include "library/tasks/report/ConsistencyReportModel.h"

#include "common/files/FileFacts.h"

#include <deque>
#include <unordered_map>
#include <unordered_set>

namespace zund
{
namespace
{
struct StringHash
{
    size_t operator() (const juce::String& text) const noexcept { return (size_t) text.hashCode64(); }
};

juce::String nameOf (const juce::String& path)
{
    return getPathFileName (path);
}
}

ConsistencyReportModel::ConsistencyReportModel (ID3DataBase& db, std::vector<juce::File>& files, Rescan rescanFunction)
    : database (db), filesToScan (files), rescan (std::move (rescanFunction))
{
}

// The lists are built in one growing buffer: appending to a String copies all
// of it whenever it outgrows its exact size (100,000 files took minutes).
juce::String ConsistencyReportModel::getMissingFilesText() const
{
    juce::MemoryOutputStream text;
    const juce::ScopedLock sl (database.getLock());
    for (int i = 0; i < database.getNumEntries(); ++i)
        if (const auto* record = database.getEntry (i); record->missing)
            text << record->filename << "\n";
    return text.toUTF8();
}

juce::String ConsistencyReportModel::getFilesToScanText() const
{
    juce::MemoryOutputStream text;
    for (const auto& file : filesToScan)
        text << file.getFullPathName() << "\n";
    return text.toUTF8();
}

juce::String ConsistencyReportModel::getSkippedNamesText() const
{
    juce::MemoryOutputStream text;
    for (const auto& name : skippedNames)
        text << "Not read, the program cannot read its name (rename it): " << name << "\n";
    return text.toUTF8();
}

void ConsistencyReportModel::removeMissingFiles()
{
    database.removeMissingEntries();
}

void ConsistencyReportModel::rescanFiles()
{
    if (rescan != nullptr)
        rescan (filesToScan);
}

ConsistencyReportModel::LocateResult ConsistencyReportModel::locateFiles (const juce::File& folder,
                                                                          bool withSubfolders)
{
    LocateResult result;
    const auto found = listFilesInFolder (folder, withSubfolders);

    const juce::ScopedLock sl (database.getLock());

    // The missing records by file name, each list in index order; a record that
    // has moved leaves its list, so it moves once and the next of its name is next.
    std::unordered_map<juce::String, std::deque<ID3DataBaseEntry*>, StringHash> missingByName;
    for (int i = 0; i < database.getNumEntries(); ++i)
        if (auto* record = database.getEntry (i); record->missing)
            missingByName[nameOf (record->filename)].push_back (record);

    std::vector<ID3DataBase::Move> moves;
    std::unordered_set<juce::String, StringHash> takenPaths;

    for (const auto& file : *found)
    {
        const auto candidates = missingByName.find (nameOf (file.getFullPathName()));
        if (candidates == missingByName.end() || candidates->second.empty())
            continue;

        const auto path = file.getFullPathName();
        if (database.findIndex (path) >= 0 || takenPaths.count (path) != 0)
        {
            result.duplicatePaths.add (path);
            continue;
        }

        auto* record = candidates->second.front();
        candidates->second.pop_front();
        moves.push_back ({ record, path });
        takenPaths.insert (path);
    }

    // All moved records are indexed again in one pass.
    database.moveRecords (moves);
    result.numMoved = (int) moves.size();
    return result;
}

void ConsistencyReportModel::removeMissingRecordsOf (const juce::StringArray& duplicatePaths)
{
    std::unordered_set<juce::String, StringHash> names;
    for (const auto& path : duplicatePaths)
        names.insert (nameOf (path));

    database.removeWhere ([&names] (const ID3DataBaseEntry& record) {
        return record.missing && names.count (nameOf (record.filename)) != 0;
    });
}
}
