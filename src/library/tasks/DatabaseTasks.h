#pragma once

#include "library/database/ID3DataBase.h"

#include <vector>

namespace zund
{
/** The database's long operations, each run behind its modal progress window on
    the message thread, returning when the task has ended. */

/** The start-up check over the song folders (which become the database's song
    folders). Unless the user cancelled, a report follows when records are
    missing or files are to be scanned. False when the user cancelled the
    migration of an old database: nothing of it is kept and the program has been
    asked to quit. */
bool checkConsistency (ID3DataBase& database, const juce::StringArray& songFolders);

/** Adds the audio files under the folder; known files are not read again. */
void scanFolder (ID3DataBase& database, const juce::File& folder);

/** Removes the records of the files under the song folder that no other song
    folder covers. */
void removeFilesOfFolder (ID3DataBase& database, const juce::File& folder);

/** Reads the files again into their records, taking them out of the list; a
    cancel leaves the files not yet read. */
void rescanFiles (ID3DataBase& database, std::vector<juce::File>& files);
}
