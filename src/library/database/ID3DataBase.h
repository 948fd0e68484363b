#pragma once

#include "library/database/ID3DataBaseEntry.h"
#include "library/database/PathIndex.h"
#include "library/database/SongFileReader.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace zund
{
/** The song database: one record per audio file the library has met, found by
    path through a hash index, kept in "database.xml".

    Every operation that reads or changes the records takes the database lock (a
    re-entrant lock); callers that keep a returned record pointer, or change record
    fields directly, bracket that with lock / unlock. Whoever changes a stored field
    directly (cue points, tags, flags, setValid) calls markDirty, so that the change
    is saved at the end. */
class ID3DataBase
{
public:
    /** Loads the file at once. */
    explicit ID3DataBase (const juce::File& databaseFile);

    /** Saves when something changed; a failure goes to the save-failure handler. */
    ~ID3DataBase();

    void lock() const { databaseLock.enter(); }
    void unlock() const { databaseLock.exit(); }
    const juce::CriticalSection& getLock() const noexcept { return databaseLock; }

    //==============================================================================
    /** Drops every record and reads the file again. An unreadable file is moved
        aside (getLoadProblem says so) and the database starts empty. */
    void load();

    /** Adds every child element of the root as a stored record; the root's
        "version" becomes getVersion(). Element names are not checked. */
    void loadFromXml (const juce::XmlElement& root);

    /** Writes the file when something changed since it was loaded or saved. The
        stored records are copied under the lock and written without it, so any
        thread may save while others use the database; saves follow one another.
        False, with the old file untouched and getLastSaveError set, when writing
        fails. */
    bool save();

    /** The root element with the application's version and one child per stored
        record ("Entry0", "Entry1", ...). */
    std::unique_ptr<juce::XmlElement> createXml (const juce::String& rootTag) const;

    /** What went wrong reading the file at start-up, for a warning box; empty when
        nothing did. */
    juce::String getLoadProblem() const;

    /** Why the last save failed; empty after a good one. */
    juce::String getLastSaveError() const;

    /** Called with the reason when the save at destruction fails (the program shows
        it in a warning box). */
    void setSaveFailureHandler (std::function<void (const juce::String& reason)> handler);

    /** The "version" of the loaded file; empty when there was no file or it had none. */
    juce::String getVersion() const;

    bool isDirty() const noexcept { return changeCount.load() != savedChangeCount.load(); }
    void markDirty() noexcept { ++changeCount; }
    /** The user gave up the changes that could not be saved: from now on save
        (and the one at destruction) writes only later changes. The records stay. */
    void forgetUnsavedChanges();

    /** Counts the changes that are saved: a saver can tell whether there was one
        since it last looked. */
    juce::uint64 getChangeCount() const noexcept { return changeCount.load(); }

    //==============================================================================
    /** Records in the index (those with an absolute path); read without the lock. */
    int getNumEntries() const noexcept { return numEntries.load(); }

    /** The record at an index; null outside 0..getNumEntries()-1. */
    ID3DataBaseEntry* getEntry (int index) const;

    int getNumMissingEntries() const;

    /** Index of the record for this path (letter case counts), or -1. */
    int findIndex (const juce::String& path) const;

    /** findIndex; `changed` tells, when asked for and found, whether the file
        changed on disk since the record was read. */
    int findIndexCheckChanged (const juce::String& path, bool& changed, bool checkChanged) const;

    /** Adds a record. Its path is normalised first; a record whose path is empty or
        not absolute is kept (and saved) but cannot be found. Returns its index, or -1. */
    int insertEntry (std::unique_ptr<ID3DataBaseEntry> entry);

    /** The record of an existing file, made and read when there is none (not yet
        stored: see addFile), read again when forceRescan is set or when
        rescanIfChanged is set and the file changed. A known file that has gone keeps
        its record unread; an unknown missing file gets none (null). */
    ID3DataBaseEntry* addOrUpdateFile (const juce::File& file, bool& wasScanned, bool forceRescan, bool rescanIfChanged);

    /** Makes the record of an existing supported audio file a stored one. */
    void addFile (const juce::File& file, bool rescanIfChanged);

    /** Reads the file's facts and tags into the record (whose path becomes the
        file's, so it must be the file's own record or one not in the index). False,
        with the record unchanged, for a missing or unreadable file. */
    bool readFileInfo (ID3DataBaseEntry* record, const juce::File& file);

    /** Takes the record at an index out of the index without deleting it (to give
        it another path and insert it again); null outside the range. */
    std::unique_ptr<ID3DataBaseEntry> takeEntry (int index);

    void removeEntry (int index);
    void removeFile (const juce::String& path);

    /** Removes every record of these paths, in one pass over the records;
        returns how many went. */
    int removeFiles (const juce::StringArray& paths);

    /** Removes every record the predicate picks, in one pass; returns how many. */
    int removeWhere (const std::function<bool (const ID3DataBaseEntry&)>& shouldRemove);

    void removeMissingEntries();
    void clear();

    /** Gives records new paths (a located file) and takes them off the missing
        list, re-indexing them all in one pass. Each record must be in the index. */
    struct Move
    {
        ID3DataBaseEntry* record;
        juce::String newPath;
    };
    void moveRecords (const std::vector<Move>& moves);

    /** A tag edit: `change` sets new texts in the file's record (made when there is
        none), which are then written into the file. When the write fails, the
        record shows what the file holds, or keeps its earlier texts when the file
        cannot be read, and keeps its "could not write" mark. False when the write
        failed or the file has no record and none could be made. */
    bool editTags (const juce::File& file, const std::function<void (ID3DataBaseEntry&)>& change);

    /** Deletes every record whose path does not begin with one of the song folders. */
    void removeFilesNotInSongFolders();

    void setSongFolders (const juce::StringArray& folders);
    juce::StringArray getSongFolders() const;
    bool isSongFolder (const juce::String& path) const;
    int countSongFoldersContaining (const juce::File& file) const;

private:
    std::vector<const ID3DataBaseEntry*> getStoredRecords() const;
    std::vector<ID3DataBaseEntry> copyStoredRecords (juce::uint64& changesCopied) const;
    void addLoadedRecords (std::vector<std::unique_ptr<ID3DataBaseEntry>> loaded);
    void takeUnindexed (const std::function<bool (const ID3DataBaseEntry&)>& pick,
                        std::vector<std::unique_ptr<ID3DataBaseEntry>>& taken);
    void recordsRemoved (int count);
    void indexChanged() noexcept;

    juce::CriticalSection databaseLock;
    juce::String version;
    std::atomic<juce::uint64> changeCount { 0 }, savedChangeCount { 0 };
    std::mutex saveMutex;
    juce::StringArray songFolders;
    const juce::File databaseFile;
    PathIndex entries;
    std::vector<std::unique_ptr<ID3DataBaseEntry>> unindexedEntries; // stored, not findable
    std::atomic<int> numEntries { 0 };
    juce::uint64 layoutChanges = 0; // records added or taken (under the lock)
    SongFileReader fileReader; // used under the lock only

    juce::String loadProblem;
    bool mustNotOverwrite = false;
    juce::String lastSaveError;
    std::function<void (const juce::String&)> saveFailureHandler;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ID3DataBase)
};
}
