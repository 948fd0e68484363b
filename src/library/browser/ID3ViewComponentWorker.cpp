#include "library/browser/ID3ViewComponent.h"

#include "common/AudioFileTypes.h"
#include "common/TimeText.h"
#include "library/browser/SongRowComparator.h"
#include "library/browser/SongTableColumns.h"
#include "library/database/ID3DataBase.h"

#include <algorithm>
#include <numeric>

// The worker's run. The message-manager lock is held for a slice of rows at a
// time (a few milliseconds at most), the database lock for one record or a
// slice of records, never both at once.

namespace zund
{
namespace
{
constexpr int firstSliceRows = 40;      // the first rows show at once
constexpr int sliceRows = 2000;
constexpr double sliceMs = 30.0;        // rows wait at most this long to be shown
constexpr int recordsPerDatabaseLock = 256;
constexpr double rowCountIntervalMs = 100.0;

double nowMs()
{
    return juce::Time::getMillisecondCounterHiRes();
}

int stateOf (const ID3DataBaseEntry& record)
{
    return record.loadedInDeck ? StringTableRow::loadedInChannel
         : record.addedToCase  ? StringTableRow::addedToCase
                               : StringTableRow::normal;
}

void splitPath (const juce::String& fullPath, juce::String& folderPath, juce::String& fileName)
{
    const int separator = fullPath.lastIndexOfChar ('/');
    folderPath = separator < 0 ? juce::String() : fullPath.substring (0, separator);
    fileName = fullPath.substring (separator + 1);
}

bool startsWithAny (const juce::String& path, const juce::StringArray& prefixes)
{
    for (const auto& prefix : prefixes)
        if (prefix.isNotEmpty() && path.startsWith (prefix))
            return true;
    return false;
}
}

void ID3ViewComponent::run()
{
    const int gen = job.generation;
    std::vector<juce::String> fullPaths; // by POS

    post (workingMessage, 1, gen);

    if ((job.work & fillRowsWork) != 0)
    {
        if (! fillRows (fullPaths))
            return;
        undoneWork &= ~fillRowsWork;
        post (rowCountMessage, 0, gen);
    }
    else if ((job.work & fillTagsWork) != 0 && ! readFullPathsOfRows (fullPaths))
    {
        return;
    }

    if ((job.work & sortWork) != 0)
    {
        if (! sortRowsByColumns())
            return;
        post (repaintMessage, 0, gen);
    }

    post (columnsMessage, 0, gen);
    post (selectFirstRowMessage, 0, gen);

    if ((job.work & fillTagsWork) != 0)
    {
        int newRecords = 0;
        const bool tagsDone = fillTags (fullPaths, newRecords);
        post (repaintMessage, 0, gen);
        if (! tagsDone)
            return;

        if (newRecords == 0 && (job.work & sortWork) != 0 && ! sortRowsByColumns())
            return;
        undoneWork &= ~fillTagsWork;
    }
    undoneWork &= ~sortWork;

    if ((job.work & writeCaseOrderWork) != 0)
        post (writeCaseOrderMessage, 0, gen);
    undoneWork &= ~writeCaseOrderWork;

    post (rowCountMessage, 0, gen);
    post (workingMessage, 0, gen);
    post (selectFirstRowMessage, 0, gen);
}

//==============================================================================
bool ID3ViewComponent::fillRows (std::vector<juce::String>& fullPaths)
{
    std::vector<std::unique_ptr<StringTableRow>> pending;
    bool firstSliceShown = false;
    double lastShown = nowMs();

    auto show = [&]() -> bool {
        const juce::MessageManagerLock mml (this);
        if (! mml.lockWasGained())
            return false;

        for (size_t i = 0; i < pending.size(); ++i)
        {
            const int pos = pending[i]->cells[SongTableColumns::pos - 1].getIntValue();
            if ((int) rowOfPos.size() <= pos)
                rowOfPos.resize ((size_t) pos + 1, -1);
            rowOfPos[(size_t) pos] = getNumRows() + (int) i;
        }
        addRows (pending);
        firstSliceShown = true;
        lastShown = nowMs();
        return true;
    };

    auto add = [&] (const juce::String& fullPath, int state) -> bool {
        auto row = std::make_unique<StringTableRow>();
        row->state = state;
        row->cells.ensureStorageAllocated (SongTableColumns::count);
        for (int i = 0; i < SongTableColumns::count; ++i)
            row->cells.add ({});

        juce::String folderPath, fileName;
        splitPath (fullPath, folderPath, fileName);
        row->cells.set (SongTableColumns::pos - 1, juce::String ((int) fullPaths.size()));
        row->cells.set (SongTableColumns::path - 1, folderPath);
        row->cells.set (SongTableColumns::filename - 1, fileName);
        fullPaths.push_back (fullPath);
        pending.push_back (std::move (row));

        const auto limit = firstSliceShown ? sliceRows : firstSliceRows;
        if ((int) pending.size() >= limit || nowMs() - lastShown > sliceMs)
            return show();
        return true;
    };

    auto stateOfFile = [this] (const juce::String& fullPath) {
        const juce::ScopedLock sl (database->getLock());
        const auto* record = database->getEntry (database->findIndex (fullPath));
        return record != nullptr ? stateOf (*record) : (int) StringTableRow::normal;
    };

    switch (job.mode)
    {
        case folderMode:
        {
            if (! job.folder.isDirectory())
                break;
            for (const auto& entry : juce::RangedDirectoryIterator (job.folder, false, "*", juce::File::findFiles))
            {
                if (threadShouldExit())
                    return false;
                const auto file = entry.getFile();
                if (isSupportedAudioExtension (file.getFileExtension()))
                    if (const auto path = file.getFullPathName(); ! add (path, stateOfFile (path)))
                        return false;
            }
            break;
        }

        case caseMode:
            for (const auto& path : job.caseFiles)
                if (threadShouldExit() || ! add (path, stateOfFile (path)))
                    return false;
            break;

        case databaseMode:
        case searchMode:
        {
            std::vector<std::pair<juce::String, int>> found;
            for (int start = 0;; start += recordsPerDatabaseLock)
            {
                if (threadShouldExit())
                    return false;

                found.clear();
                bool more = false;
                {
                    const juce::ScopedLock sl (database->getLock());
                    more = job.search.scan (*database, start, recordsPerDatabaseLock, [&found] (const ID3DataBaseEntry& record) {
                        found.emplace_back (record.filename, stateOf (record));
                    });
                }
                for (const auto& [path, state] : found)
                    if (! add (path, state))
                        return false;
                if (! more)
                    break;
            }
            break;
        }

        default:
            break;
    }

    return pending.empty() || show();
}

//==============================================================================
bool ID3ViewComponent::readFullPathsOfRows (std::vector<juce::String>& fullPaths)
{
    const juce::MessageManagerLock mml (this);
    if (! mml.lockWasGained())
        return false;

    fullPaths.clear();
    for (int row = 0; row < getNumRows(); ++row)
    {
        const int pos = getCellText (SongTableColumns::pos - 1, row).getIntValue();
        if (pos >= (int) fullPaths.size())
            fullPaths.resize ((size_t) pos + 1);
        fullPaths[(size_t) pos] = getFullPathOfRow (row);
    }
    return true;
}

bool ID3ViewComponent::sortRowsByColumns()
{
    // The sort keys are copied out a slice at a time and sorted here; only the
    // new order is put back under the lock, in one quick step.
    juce::Array<int> columns;
    int count = 0;
    {
        const juce::MessageManagerLock mml (this);
        if (! mml.lockWasGained())
            return false;
        columns = getVisibleColumnIds();
        count = getNumRows();
    }

    std::vector<juce::StringArray> cells ((size_t) count);
    for (int start = 0; start < count; start += sliceRows)
    {
        const juce::MessageManagerLock mml (this);
        if (! mml.lockWasGained() || getNumRows() != count)
            return false;
        for (int row = start; row < juce::jmin (count, start + sliceRows); ++row)
            cells[(size_t) row] = getRowCells (row);
    }

    const SongRowComparator comparator (columns);
    std::vector<SongRowComparator::Key> keys ((size_t) count);
    for (size_t i = 0; i < keys.size(); ++i)
    {
        if ((i & 1023) == 0 && threadShouldExit())
            return false;
        keys[i] = comparator.makeKey (cells[i]);
    }
    cells.clear();

    std::vector<int> order ((size_t) count);
    std::iota (order.begin(), order.end(), 0);
    std::stable_sort (order.begin(), order.end(), [&] (int a, int b) {
        return comparator.compare (keys[(size_t) a], keys[(size_t) b]) < 0;
    });

    const juce::MessageManagerLock mml (this);
    if (! mml.lockWasGained() || getNumRows() != count)
        return false;
    reorderRows (order);
    rebuildPosMap();
    return true;
}

//==============================================================================
bool ID3ViewComponent::fillTags (std::vector<juce::String>& fullPaths, int& newRecords)
{
    std::vector<RowTags> pendingTags;
    double lastShown = nowMs();
    double lastCountPosted = nowMs();

    for (int pos = 0; pos < (int) fullPaths.size(); ++pos)
    {
        if (threadShouldExit())
            return false;

        const auto& path = fullPaths[(size_t) pos];
        if (! juce::File::isAbsolutePath (path))
            continue;

        RowTags tags;
        bool isNew = false;
        {
            const juce::ScopedLock sl (database->getLock());
            isNew = database->findIndex (path) < 0;
            bool scanned = false;
            auto* record = database->addOrUpdateFile (juce::File (path), scanned, false, false);
            if (record == nullptr)
                continue;

            if (isNew && scanned && startsWithAny (path, job.songFolders))
            {
                record->setValid();
                database->markDirty();
            }

            tags = makeRowTags (*record);
        }
        tags.pos = pos;
        pendingTags.push_back (std::move (tags));

        if (isNew)
        {
            ++newRecords;
            if (nowMs() - lastCountPosted > rowCountIntervalMs)
            {
                post (rowCountMessage, 0, job.generation);
                lastCountPosted = nowMs();
            }
        }

        if ((int) pendingTags.size() >= sliceRows / 4 || nowMs() - lastShown > sliceMs)
        {
            if (! applyTags (pendingTags))
                return false;
            lastShown = nowMs();
        }
    }

    return applyTags (pendingTags);
}

ID3ViewComponent::RowTags ID3ViewComponent::makeRowTags (const ID3DataBaseEntry& record)
{
    RowTags tags;
    tags.couldNotWriteMetadata = record.couldNotWriteMetadata;
    const juce::String texts[] = { record.artist, record.song,  record.album,
                                   record.bpm,    record.label, record.year,
                                   record.genre,  secondsToTimeString (record.seconds),
                                   record.quality, SongTableColumns::kiloHertzText (record.samplerate) };
    std::copy (std::begin (texts), std::end (texts), std::begin (tags.cells));
    return tags;
}

void ID3ViewComponent::setRowTags (int row, const RowTags& tags)
{
    setRowColour (row, tags.couldNotWriteMetadata ? juce::Colour (0xffffa500) : juce::Colour::greyLevel (0.8f));
    for (int i = 0; i < (int) std::size (tags.cells); ++i)
        setCellText (SongTableColumns::artist - 1 + i, row, tags.cells[i]);
}

bool ID3ViewComponent::applyTags (std::vector<RowTags>& tags)
{
    if (tags.empty())
        return true;

    const juce::MessageManagerLock mml (this);
    if (! mml.lockWasGained())
        return false;

    for (const auto& t : tags)
        if (const int row = findRowByPos (t.pos); row >= 0)
            setRowTags (row, t);
    tags.clear();
    return true;
}
}
