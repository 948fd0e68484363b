#include "library/database/ID3DataBase.h"

#include "library/database/DatabaseFile.h"

#include <algorithm>
#include <string>
#include <string_view>
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
        entry->filename = normalisePath (entry->filename);
        if (juce::File::isAbsolutePath (entry->filename))
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
        changesSaved = changeCount.load();
        if (changesSaved == savedChangeCount.load())
            return true;

        if (mustNotOverwrite)
            error = "the unreadable file there could not be moved aside, and is not written over";
        else
        {
            const auto stored = getStoredRecords();
            copy.reserve (stored.size());
            for (const auto* record : stored)
                copy.push_back (*record);
        }
    }

    if (error.isEmpty() && writeDatabaseFile (databaseFile, rootTagName, ZUND_VERSION, copy, error))
    {
        const juce::ScopedLock sl (databaseLock);
        savedChangeCount = changesSaved;
        lastSaveError.clear();
        return true;
    }

    const juce::ScopedLock sl (databaseLock);
    lastSaveError = "The song database could not be saved to \"" + databaseFile.getFullPathName()
                  + "\" (" + error + ").";
    return false;
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
        return -1;
    }

    const int index = entries.insert (std::move (entry));
    indexChanged();
    return index;
}

//==============================================================================
int ID3DataBase::removeWhere (const std::function<bool (const ID3DataBaseEntry&)>& shouldRemove)
{
    const juce::ScopedLock sl (databaseLock);
    int removed = entries.removeIf (shouldRemove);

    const auto unindexedBefore = unindexedEntries.size();
    unindexedEntries.erase (std::remove_if (unindexedEntries.begin(), unindexedEntries.end(),
                                            [&shouldRemove] (const auto& entry) { return shouldRemove (*entry); }),
                            unindexedEntries.end());
    removed += (int) (unindexedBefore - unindexedEntries.size());

    if (removed > 0)
    {
        markDirty();
        indexChanged();
    }
    return removed;
}

int ID3DataBase::removeFiles (const juce::StringArray& paths)
{
    std::vector<juce::String> normalised;
    normalised.reserve ((size_t) paths.size());
    std::unordered_set<std::string_view> wanted;
    wanted.reserve ((size_t) paths.size());
    for (const auto& path : paths)
    {
        normalised.push_back (normalisePath (path));
        wanted.insert (normalised.back().toRawUTF8());
    }

    return removeWhere ([&wanted] (const ID3DataBaseEntry& entry) {
        return wanted.count (entry.filename.toRawUTF8()) != 0;
    });
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
