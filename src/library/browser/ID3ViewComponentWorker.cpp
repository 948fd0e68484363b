#include "library/browser/ID3ViewComponentWorker.h"

#include "common/files/AudioFileTypes.h"
#include "common/files/FileFacts.h"
#include "common/files/FolderListing.h"
#include "common/text/TimeText.h"
#include "library/browser/SongRowComparator.h"
#include "library/browser/SongTableColumns.h"
#include "library/database/ID3DataBase.h"

#include <algorithm>
#include <numeric>

// The worker's run. The message-manager lock is held for a slice of rows at a
// time (a few milliseconds at most), the database lock for one record or a
// slice of records, never both at once; song files are read under neither.

namespace zund
{
namespace
{
constexpr int firstSliceRows = 40;      // the first rows show at once
constexpr int sliceRows = 2000;
constexpr double sliceMs = 30.0;        // rows wait at most this long to be shown
constexpr int recordsPerDatabaseLock = 256;
constexpr double rowCountIntervalMs = 100.0;
constexpr double lockUseBeforePauseMs = 15.0;
constexpr double copySliceMs = 4.0;
constexpr int pauseMs = 2;

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

void ID3ViewComponent::WorkerLink::post (int kind, int value, int generation)
{
    const std::lock_guard<std::mutex> guard (mutex);
    if (table != nullptr)
        table->postMessage (new Worker::Message (kind, value, generation));
}

void ID3ViewComponent::WorkerLink::cut()
{
    const std::lock_guard<std::mutex> guard (mutex);
    database = nullptr;
    table = nullptr;
}

//==============================================================================
ID3ViewComponent::Worker::Worker (ID3ViewComponent& t, std::shared_ptr<WorkerLink> l, Job j)
    : juce::Thread ("ID3ViewThread"),
      table (t),
      link (std::move (l)),
      job (std::move (j)),
      undone (job.work)
{
}

ID3ViewComponent::Worker::~Worker()
{
    stopThread (-1); // only ever deleted once it has ended
}

void ID3ViewComponent::Worker::post (int kind, int value)
{
    link->post (kind, value, job.generation);
}

void ID3ViewComponent::Worker::pauseForTheMessageThread()
{
    if (nowMs() - lastPause < lockUseBeforePauseMs)
        return;
    wait (pauseMs);
    lastPause = nowMs();
}

void ID3ViewComponent::Worker::run()
{
    lastPause = nowMs();
    std::vector<juce::String> fullPaths; // by POS

    post (workingMessage, 1);

    if ((job.work & fillRowsWork) != 0)
    {
        if (! fillRows (fullPaths))
            return;
        undone &= ~fillRowsWork;
        post (rowCountMessage, 0);
    }
    else if ((job.work & fillTagsWork) != 0 && ! readFullPathsOfRows (fullPaths))
    {
        return;
    }

    if ((job.work & sortWork) != 0)
    {
        if (! sortRowsByColumns())
            return;
        post (repaintMessage, 0);
    }

    post (columnsMessage, 0);
    post (selectFirstRowMessage, 0);

    if ((job.work & fillTagsWork) != 0)
    {
        int newRecords = 0;
        const bool tagsDone = fillTags (fullPaths, newRecords);
        post (repaintMessage, 0);
        if (! tagsDone)
            return;

        if (newRecords == 0 && (job.work & sortWork) != 0 && ! sortRowsByColumns())
            return;
        undone &= ~fillTagsWork;
    }
    undone &= ~sortWork;

    if ((job.work & writeCaseOrderWork) != 0)
        post (writeCaseOrderMessage, 0);
    undone &= ~writeCaseOrderWork;

    post (rowCountMessage, 0);
    post (workingMessage, 0);
    post (selectFirstRowMessage, 0);
}
//==============================================================================
bool ID3ViewComponent::Worker::fillRows (std::vector<juce::String>& fullPaths)
{
    std::vector<std::unique_ptr<StringTableRow>> pending;
    bool firstSliceShown = false;
    double lastShown = nowMs();

    auto show = [&]() -> bool {
        const juce::MessageManagerLock mml (this);
        if (! mml.lockWasGained())
            return false;

        auto& rowOfPos = table.rowOfPos;
        for (size_t i = 0; i < pending.size(); ++i)
        {
            const int pos = pending[i]->cells[SongTableColumns::pos - 1].getIntValue();
            if ((int) rowOfPos.size() <= pos)
                rowOfPos.resize ((size_t) pos + 1, -1);
            rowOfPos[(size_t) pos] = table.getNumRows() + (int) i;
        }
        table.addRows (pending);
        firstSliceShown = true;
        lastShown = nowMs();
        return true;
    };
    auto showAndPause = [&]() -> bool {
        if (! show())
            return false;
        pauseForTheMessageThread();
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
            return showAndPause();
        return true;
    };

    auto stateOfFile = [this] (const juce::String& fullPath) {
        int state = StringTableRow::normal;
        link->withDatabase (*this, [&] (ID3DataBase& database) {
            if (const auto* record = database.getEntry (database.findIndex (fullPath)))
                state = stateOf (*record);
        });
        return state;
    };

    switch (job.mode)
    {
        case folderMode:
        {
            if (! job.folder.isDirectory())
                break;
            FolderListing listing (job.folder);
            for (FolderListing::Entry entry; listing.next (entry);)
            {
                if (threadShouldExit())
                    return false;
                // A pipe or device with an audio file's name is no audio file: opening it could wait for ever.
                if (entry.kind != FolderListing::Kind::file)
                    continue;
                const auto file = entry.getFile();
                if (hasSupportedAudioExtension (file.getFullPathName()) && isRegularFile (file))
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
            auto search = job.search; // matching uses the object's own buffer
            std::vector<std::pair<juce::String, int>> found;
            for (int start = 0;; start += recordsPerDatabaseLock)
            {
                if (threadShouldExit())
                    return false;

                found.clear();
                bool more = false;
                link->withDatabase (*this, [&] (ID3DataBase& database) {
                    more = search.scan (database, start, recordsPerDatabaseLock, [&found] (const ID3DataBaseEntry& record) {
                        found.emplace_back (record.filename, stateOf (record));
                    });
                });
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
bool ID3ViewComponent::Worker::readFullPathsOfRows (std::vector<juce::String>& fullPaths)
{
    fullPaths.clear();
    for (int start = 0;; start += sliceRows)
    {
        pauseForTheMessageThread();
        const juce::MessageManagerLock mml (this);
        if (! mml.lockWasGained())
            return false;

        const int end = juce::jmin (table.getNumRows(), start + sliceRows);
        for (int row = start; row < end; ++row)
        {
            const int pos = table.getCellText (SongTableColumns::pos - 1, row).getIntValue();
            if (pos >= (int) fullPaths.size())
                fullPaths.resize ((size_t) pos + 1);
            fullPaths[(size_t) pos] = table.getFullPathOfRow (row);
        }
        if (end < start + sliceRows)
            return true;
    }
}

bool ID3ViewComponent::Worker::sortRowsByColumns()
{
    // By the first visible column; then each run of rows equal there by the
    // next column, and so on. Most rows differ in the first column, so most
    // cells of the others are never looked at. The cells a step needs are
    // copied out under the lock, a few milliseconds at a time; the sorting is
    // done here, and only the new order is put back under the lock.
    juce::Array<int> columns;
    int count = 0;
    {
        const juce::MessageManagerLock mml (this);
        if (! mml.lockWasGained())
            return false;
        columns = table.getVisibleColumnIds();
        count = table.getNumRows();
    }
    if (count < 2)
        return true;

    std::vector<int> order ((size_t) count);
    std::iota (order.begin(), order.end(), 0);
    std::vector<juce::String> cellOfRow ((size_t) count);
    std::vector<int> posOfRow ((size_t) count, -1);

    std::vector<std::pair<int, int>> runs { { 0, count } }; // places in `order`, from and up to
    std::vector<std::pair<SongRowComparator::Field, int>> fields; // field, row

    for (int level = 0; level < columns.size() && ! runs.empty(); ++level)
    {
        const int column = columns.getUnchecked (level);
        if (! copyCells (column, level == 0, order, runs, cellOfRow, posOfRow))
            return false;

        std::vector<std::pair<int, int>> ties;
        for (const auto& [begin, end] : runs)
        {
            if (threadShouldExit())
                return false;

            fields.clear();
            for (int place = begin; place < end; ++place)
            {
                const int row = order[(size_t) place];
                fields.emplace_back (SongRowComparator::makeField (column, cellOfRow[(size_t) row]), row);
            }
            std::stable_sort (fields.begin(), fields.end(), [column] (const auto& a, const auto& b) {
                return SongRowComparator::compareFields (column, a.first, b.first) < 0;
            });

            for (size_t i = 0; i < fields.size();)
            {
                order[(size_t) begin + i] = fields[i].second;
                auto j = i + 1;
                for (; j < fields.size() && SongRowComparator::compareFields (column, fields[i].first, fields[j].first) == 0; ++j)
                    order[(size_t) begin + j] = fields[j].second;
                if (j - i > 1)
                    ties.emplace_back (begin + (int) i, begin + (int) j);
                i = j;
            }
        }
        runs.swap (ties);
    }
    cellOfRow.clear();

    // The POS map of the new order, made here rather than under the lock.
    std::vector<int> rowOfPos;
    for (int place = 0; place < count; ++place)
    {
        const int pos = posOfRow[(size_t) order[(size_t) place]];
        if (pos < 0)
            continue;
        if ((int) rowOfPos.size() <= pos)
            rowOfPos.resize ((size_t) pos + 1, -1);
        if (rowOfPos[(size_t) pos] < 0)
            rowOfPos[(size_t) pos] = place;
    }

    pauseForTheMessageThread();
    const juce::MessageManagerLock mml (this);
    if (! mml.lockWasGained() || table.getNumRows() != count)
        return false;
    table.reorderRows (order);
    table.rowOfPos.swap (rowOfPos);
    table.posMapValid = true;
    return true;
}

bool ID3ViewComponent::Worker::copyCells (int columnId, bool withPos, const std::vector<int>& order,
                                          const std::vector<std::pair<int, int>>& runs, std::vector<juce::String>& cellOfRow,
                                          std::vector<int>& posOfRow)
{
    const int count = (int) order.size();
    size_t run = 0;
    int place = runs.empty() ? count : runs.front().first;
    while (run < runs.size())
    {
        pauseForTheMessageThread();
        const juce::MessageManagerLock mml (this);
        if (! mml.lockWasGained() || table.getNumRows() != count)
            return false;

        // Handing the lock over costs a millisecond or so: as many cells as
        // fit in a few milliseconds go at once.
        const double start = nowMs();
        for (int n = 0; run < runs.size() && (++n % 256 != 0 || nowMs() - start < copySliceMs);)
        {
            const int row = order[(size_t) place];
            cellOfRow[(size_t) row] = table.getCellText (columnId - 1, row);
            if (withPos)
                posOfRow[(size_t) row] = table.getCellText (SongTableColumns::pos - 1, row).getIntValue();
            if (++place >= runs[run].second && ++run < runs.size())
                place = runs[run].first;
        }
    }
    return true;
}

//==============================================================================
bool ID3ViewComponent::Worker::tagsOfFile (const juce::String& path, RowTags& tags, bool& isNew)
{
    isNew = false;
    bool known = false;
    link->withDatabase (*this, [&] (ID3DataBase& database) {
        if (const auto* record = database.getEntry (database.findIndex (path)))
        {
            tags = makeRowTags (*record);
            known = true;
        }
    });
    if (known)
        return true;
    if (threadShouldExit())
        return false;

    // New to the database: the file is read here, with the database free for
    // others, and its record made afterwards.
    const juce::File file (path);
    if (! isRegularFile (file))
        return false;

    if (reader == nullptr)
        reader = std::make_unique<SongFileReader>();
    ID3DataBaseEntry read;
    const bool wasRead = reader->read (read, file);
    if (threadShouldExit())
        return false;

    bool shown = false;
    link->withDatabase (*this, [&] (ID3DataBase& database) {
        shown = true;
        if (const auto* record = database.getEntry (database.findIndex (path)))
        {
            tags = makeRowTags (*record); // made by someone else meanwhile
            return;
        }

        // Browsing a folder outside the song folders keeps nothing: such a
        // record lives for this run only.
        auto record = std::make_unique<ID3DataBaseEntry> (read);
        record->filename = path;
        if (wasRead && startsWithAny (path, job.songFolders))
        {
            record->setValid();
            database.markDirty();
        }
        tags = makeRowTags (*record);
        database.insertEntry (std::move (record));
        isNew = true;
    });
    return shown;
}

bool ID3ViewComponent::Worker::fillTags (std::vector<juce::String>& fullPaths, int& newRecords)
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
        if (! tagsOfFile (path, tags, isNew))
            continue;
        tags.pos = pos;
        pendingTags.push_back (std::move (tags));

        if (isNew)
        {
            ++newRecords;
            if (nowMs() - lastCountPosted > rowCountIntervalMs)
            {
                post (rowCountMessage, 0);
                lastCountPosted = nowMs();
            }
        }

        if ((int) pendingTags.size() >= sliceRows / 4 || nowMs() - lastShown > sliceMs)
        {
            if (! applyTags (pendingTags))
                return false;
            lastShown = nowMs();
            pauseForTheMessageThread();
        }
    }

    return applyTags (pendingTags);
}

bool ID3ViewComponent::Worker::applyTags (std::vector<RowTags>& tags)
{
    if (tags.empty())
        return true;

    const juce::MessageManagerLock mml (this);
    if (! mml.lockWasGained())
        return false;

    for (const auto& t : tags)
        if (const int row = table.findRowByPos (t.pos); row >= 0)
            table.setRowTags (row, t);
    tags.clear();
    return true;
}

//==============================================================================
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
}
