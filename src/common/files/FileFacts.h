#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

namespace zund
{
/** Last-write time in 100-ns ticks since 1601-01-01 (the unit the database and
    peak files store) and size in bytes. False, with both outputs untouched,
    when the file does not exist or is not a regular file. */
bool getFileTimeAndSize (const juce::File& file, juce::int64& lastWriteTime, juce::int64& size);

/** True for a regular file (or a link to one): the only kind the library opens.
    A FIFO, socket or device named like a song could block whoever opens it. */
bool isRegularFile (const juce::File& file);

/** Converts milliseconds since 1970 to the stored 100-ns ticks since 1601. */
juce::int64 millisecondsToFileTicks (juce::int64 millisecondsSince1970) noexcept;

/** True when the file exists and no other process holds an exclusive lock on it. */
bool canOpenFileExclusively (const juce::File& file);

/** The last name in the path, found in its bytes: the framework's getFileName
    goes wrong after a folder name that is not UTF-8 (its index operations
    count such characters two ways). Empty when the name cannot be held in a
    string on its own. */
juce::String getPathFileName (const juce::String& path);

/** The database index key of a path: the framework string hash, never negative. */
int getPathHash (const juce::String& text);

/** Every regular file in the folder (and its sub-folders when asked), in walk
    order: what FolderWalker gives. */
std::unique_ptr<std::vector<juce::File>> listFilesInFolder (const juce::File& folder, bool recursive);
}
