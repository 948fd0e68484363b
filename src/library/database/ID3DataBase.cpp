#include "library/database/ID3DataBase.h"

#include "library/database/DatabaseFile.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace zund
{
namespace
{
const char* const rootTagName = "Zund2DataBase";
const char* const versionAttribute = "version";

/** True for an absolute path that the framework's File gives back unchanged: one
    without "//", "./" or a trailing "/" (what it tidies up). */
bool isNormalPath (const juce::String& path) noexcept
{
    const auto* p = path.toRawUTF8();
    if (p[0] != '/')
        return false;
    size_t i = 1;
    for (; p[i] != 0; ++i)
        if (p[i] == '/' && (p[i - 1] == '/' || p[i - 1] == '.'))
            return false;
    return i == 1 || p[i - 1] != '/';
}

/** Paths are kept in the form the framework's File gives them, the form they are
    hashed and looked up in. Paths that are not absolute stay as they are. */
juce::String normalisePath (const juce::String& path)
{
    if (isNormalPath (path) || ! juce::File::isAbsolutePath (path))
        return path;
    return juce::File (path).getFullPathName();
}
}

ID3DataBase::ID3DataBase (const juce::File& file) : databaseFile (file)
{
    load();
}

ID3DataBase::~ID3DataBase()
{
    if (! save() && saveFailureHandler != nullptr)
        saveFailureHandler (getLastSaveError());
}

//==============================================================================
void ID3DataBase::load()
{
    const juce::ScopedLock sl (databaseLock);
    entries.clear();
    unindexedEntries.clear();
    indexChanged();
    version.clear();
    savedChangeCount = changeCount.load();

    auto contents = readDatabaseFile (databaseFile);
    loadProblem = contents.problem;
    mustNotOverwrite = contents.mustNotOverwrite;
    version = contents.database.version;
    addLoadedRecords (std::move (contents.database.records));
}

void ID3DataBase::loadFromXml (const juce::XmlElement& root)
{
    const juce::ScopedLock sl (databaseLock);
    version = root.getStringAttribute (versionAttribute);

    std::vector<std::unique_ptr<ID3DataBaseEntry>> loaded;
    for (auto* element : root.getChildIterator())
    {
        loaded.push_back (std::make_unique<ID3DataBaseEntry>());
        loaded.back()->loadFromXml (element);
    }
    addLoadedRecords (std::move (loaded));
}

void ID3DataBase::addLoadedRecords (std::vector<std::unique_ptr<ID3DataBaseEntry>> loaded)
{
    const juce::ScopedLock sl (databaseLock);
    size_t kept = 0;
    for (auto& entry : loaded)
    {
        entry->setValid();
        if (! entry->isPathKeptAside()) // its readable path must stay what its escaped one was written with
            entry->filename = normalisePath (entry->filename);
        if (juce::File::isAbsolutePath (entry->filename) && ! entry->isPathKeptAside())
            loaded[kept++] = std::move (entry);
        else
            unindexedEntries.push_back (std::move (entry)); // dropping it would lose it at the next save
    }
    loaded.resize (kept);

    // One merge for a whole file instead of an insert per record.
    entries.insertAll (std::move (loaded));
    indexChanged();
}

bool ID3DataBase::save()
{
    const std::lock_guard<std::mutex> oneSaveAtATime (saveMutex);

    juce::uint64 changesSaved = 0;
    std::vector<ID3DataBaseEntry> copy;
    juce::String error;
    {
        const juce::ScopedLock sl (databaseLock);
        if (changeCount.load() == savedChangeCount.load())
            return true;
        if (mustNotOverwrite)
            error = "the unreadable file there could not be moved aside, and is not written over";
    }

    if (error.isEmpty())
    {
        copy = copyStoredRecords (changesSaved);
        if (writeDatabaseFile (databaseFile, rootTagName, ZUND_VERSION, copy, error))
        {
            const juce::ScopedLock sl (databaseLock);
            savedChangeCount = changesSaved;
            lastSaveError.clear();
            return true;
        }
    }

    const juce::ScopedLock sl (databaseLock);
    lastSaveError = "The song database could not be saved to \"" + databaseFile.getFullPathName()
                  + "\" (" + error + ").";
    return false;
}

void ID3DataBase::forgetUnsavedChanges()
{
    const std::lock_guard<std::mutex> oneSaveAtATime (saveMutex); // a save under way must not undo it
    savedChangeCount = changeCount.load();
}

std::vector<ID3DataBaseEntry> ID3DataBase::copyStoredRecords (juce::uint64& changesCopied) const
{
    // Copied a slice at a time, so that the lock is never held for long (half a
    // million records take a quarter of a second). A copy that records were added
    // to or taken from meanwhile starts again, at last under one hold of the lock.
    constexpr int recordsPerSlice = 4096;
    constexpr int attemptsInSlices = 3;

    for (int attempt = 0;; ++attempt)
    {
        const bool inOneGo = attempt >= attemptsInSlices;
        std::vector<ID3DataBaseEntry> copy;
        juce::uint64 layout = 0;
        {
            const juce::ScopedLock sl (databaseLock);
            layout = layoutChanges;
            // Whatever changes after this may be missing from the copy: it stays to be saved.
            changesCopied = changeCount.load();
            copy.reserve ((size_t) entries.size() + unindexedEntries.size());
        }

        for (int next = 0;;)
        {
            const juce::ScopedLock sl (databaseLock);
            if (layoutChanges != layout)
                break;
            const int end = inOneGo ? entries.size() : juce::jmin (entries.size(), next + recordsPerSlice);
            for (; next < end; ++next)
                if (const auto* record = entries.at (next); record->valid)
                    copy.push_back (*record);
            if (next >= entries.size())
            {
                for (const auto& record : unindexedEntries)
                    copy.push_back (*record);
                return copy;
            }
        }
    }
}

std::unique_ptr<juce::XmlElement> ID3DataBase::createXml (const juce::String& rootTag) const
{
    const juce::ScopedLock sl (databaseLock);
    auto root = std::make_unique<juce::XmlElement> (rootTag);
    root->setAttribute (versionAttribute, ZUND_VERSION);

    // Prepended from the back: appending walks the whole child list every time.
    const auto stored = getStoredRecords();
    for (auto i = stored.size(); i-- > 0;)
        root->prependChildElement (stored[i]->createXml ("Entry" + juce::String ((juce::int64) i)).release());
    return root;
}

std::vector<const ID3DataBaseEntry*> ID3DataBase::getStoredRecords() const
{
    const juce::ScopedLock sl (databaseLock);
    std::vector<const ID3DataBaseEntry*> stored;
    stored.reserve ((size_t) entries.size() + unindexedEntries.size());
    for (int i = 0; i < entries.size(); ++i)
        if (entries.at (i)->valid)
            stored.push_back (entries.at (i));
    for (const auto& entry : unindexedEntries)
        stored.push_back (entry.get());
    return stored;
}

juce::String ID3DataBase::getLoadProblem() const
{
    const juce::ScopedLock sl (databaseLock);
    return loadProblem;
}

juce::String ID3DataBase::getLastSaveError() const
{
    const juce::ScopedLock sl (databaseLock);
    return lastSaveError;
}

void ID3DataBase::setSaveFailureHandler (std::function<void (const juce::String&)> handler)
{
    const juce::ScopedLock sl (databaseLock);
    saveFailureHandler = std::move (handler);
}

juce::String ID3DataBase::getVersion() const
{
    const juce::ScopedLock sl (databaseLock);
    return version;
}

void ID3DataBase::indexChanged() noexcept
{
    numEntries = entries.size();
    ++layoutChanges;
}

//==============================================================================
ID3DataBaseEntry* ID3DataBase::getEntry (int index) const
{
    const juce::ScopedLock sl (databaseLock);
    return entries.at (index);
}

int ID3DataBase::getNumMissingEntries() const
{
    const juce::ScopedLock sl (databaseLock);
    int count = 0;
    for (int i = 0; i < entries.size(); ++i)
        count += entries.at (i)->missing ? 1 : 0;
    return count;
}

int ID3DataBase::findIndex (const juce::String& path) const
{
    const auto normalised = normalisePath (path);
    const juce::ScopedLock sl (databaseLock);
    return entries.find (normalised);
}

int ID3DataBase::findIndexCheckChanged (const juce::String& path, bool& changed, bool checkChanged) const
{
    const juce::ScopedLock sl (databaseLock);
    const int index = findIndex (path);
    changed = index >= 0 && checkChanged && entries.at (index)->hasFileChanged();
    return index;
}

int ID3DataBase::insertEntry (std::unique_ptr<ID3DataBaseEntry> entry)
{
    if (entry == nullptr)
        return -1;

    const juce::ScopedLock sl (databaseLock);
    if (entry->valid)
        markDirty();

    entry->filename = normalisePath (entry->filename);
    if (! juce::File::isAbsolutePath (entry->filename))
    {
        unindexedEntries.push_back (std::move (entry));
        ++layoutChanges;
        return -1;
    }

    const int index = entries.insert (std::move (entry));
    indexChanged();
    return index;
}

//==============================================================================
int ID3DataBase::removeWhere (const std::function<bool (const ID3DataBaseEntry&)>& shouldRemove)
{
    std::vector<std::unique_ptr<ID3DataBaseEntry>> removed;
    {
        const juce::ScopedLock sl (databaseLock);
        removed = entries.takeIf (shouldRemove);
        takeUnindexed (shouldRemove, removed);
        recordsRemoved ((int) removed.size());
    }
    return (int) removed.size(); // deleted after the lock is free
}

int ID3DataBase::removeFiles (const juce::StringArray& paths)
{
    std::vector<std::unique_ptr<ID3DataBaseEntry>> removed;
    {
        const juce::ScopedLock sl (databaseLock);
        std::vector<bool> marked ((size_t) entries.size(), false);
        std::unordered_set<std::string> unindexed;
        for (const auto& path : paths)
        {
            const auto normalised = normalisePath (path);
            if (juce::File::isAbsolutePath (normalised))
                entries.forEachIndexOf (normalised, [&marked] (int index) { marked[(size_t) index] = true; });
            else
                unindexed.insert (normalised.toStdString());
        }

        removed = entries.takeMarked (marked);
        if (! unindexed.empty())
            takeUnindexed ([&unindexed] (const ID3DataBaseEntry& entry) {
                return unindexed.count (entry.filename.toStdString()) != 0;
            }, removed);
        recordsRemoved ((int) removed.size());
    }
    return (int) removed.size(); // deleted after the lock is free
}

void ID3DataBase::takeUnindexed (const std::function<bool (const ID3DataBaseEntry&)>& pick,
                                 std::vector<std::unique_ptr<ID3DataBaseEntry>>& taken)
{
    size_t kept = 0;
    for (auto& entry : unindexedEntries)
    {
        if (pick (*entry))
            taken.push_back (std::move (entry));
        else
            unindexedEntries[kept++] = std::move (entry);
    }
    unindexedEntries.resize (kept);
}

void ID3DataBase::recordsRemoved (int count)
{
    if (count > 0)
    {
        markDirty();
        indexChanged();
    }
}

void ID3DataBase::moveRecords (const std::vector<Move>& moves)
{
    if (moves.empty())
        return;

    const juce::ScopedLock sl (databaseLock);
    std::unordered_map<const ID3DataBaseEntry*, juce::String> newPaths;
    for (const auto& move : moves)
        if (juce::File::isAbsolutePath (move.newPath))
            newPaths[move.record] = normalisePath (move.newPath);

    auto moved = entries.takeIf ([&newPaths] (const ID3DataBaseEntry& entry) { return newPaths.count (&entry) != 0; });
    for (auto& record : moved)
    {
        record->filename = newPaths[record.get()];
        record->missing = false;
    }
    entries.insertAll (std::move (moved));
    indexChanged();
    markDirty();
}

std::unique_ptr<ID3DataBaseEntry> ID3DataBase::takeEntry (int index)
{
    const juce::ScopedLock sl (databaseLock);
    auto entry = entries.takeAt (index);
    if (entry != nullptr)
    {
        markDirty();
        indexChanged();
    }
    return entry;
}

void ID3DataBase::removeEntry (int index)
{
    takeEntry (index);
}

void ID3DataBase::removeFile (const juce::String& path)
{
    const juce::ScopedLock sl (databaseLock);
    const int index = findIndex (path);
    if (index >= 0)
        removeEntry (index);
}

void ID3DataBase::removeMissingEntries()
{
    removeWhere ([] (const ID3DataBaseEntry& entry) { return entry.missing; });
}

void ID3DataBase::clear()
{
    removeWhere ([] (const ID3DataBaseEntry&) { return true; });
}

void ID3DataBase::removeFilesNotInSongFolders()
{
    const juce::ScopedLock sl (databaseLock);
    const auto folders = songFolders;
    removeWhere ([&folders] (const ID3DataBaseEntry& entry) {
        for (const auto& folder : folders)
            if (entry.filename.startsWith (folder))
                return false;
        return true;
    });
}

void ID3DataBase::setSongFolders (const juce::StringArray& folders)
{
    const juce::ScopedLock sl (databaseLock);
    songFolders = folders;
}

juce::StringArray ID3DataBase::getSongFolders() const
{
    const juce::ScopedLock sl (databaseLock);
    return songFolders;
}

bool ID3DataBase::isSongFolder (const juce::String& path) const
{
    const juce::ScopedLock sl (databaseLock);
    return songFolders.contains (path);
}

int ID3DataBase::countSongFoldersContaining (const juce::File& file) const
{
    const juce::ScopedLock sl (databaseLock);
    int count = 0;
    for (const auto& folder : songFolders)
        if (juce::File::isAbsolutePath (folder) && file.isAChildOf (juce::File (folder)))
            ++count;
    return count;
}
}
