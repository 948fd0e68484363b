#pragma once

#include "library/database/DatabaseXmlParser.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

namespace zund
{
/** The largest database file the program writes, and so reads: far beyond a
    collector's library (half a million records take some 320 MB). */
constexpr juce::int64 maxDatabaseFileBytes = (juce::int64) 4 << 30;

/** What reading the database file gave. */
struct DatabaseFileContents
{
    /** The records and version; nothing when there was no file or it could not be read. */
    DatabaseRecords database;

    /** For the user, when the file exists but could not be read: why, and where the
        file has been kept. Empty otherwise (a missing file is no problem). */
    juce::String problem;

    /** The unreadable file could not be moved aside either: it must not be written over. */
    bool mustNotOverwrite = false;
};

/** Reads the database file after the safe XML reader's checks, straight into
    records. A file that cannot be read or parsed is moved aside
    ("database.xml.bad-<time>"), never left to be overwritten. */
DatabaseFileContents readDatabaseFile (const juce::File& file);

/** Writes the records as a UTF-8 XML document, root element `rootTag` with the
    "version", one child "Entry<n>" per record with its stored attributes. The text
    goes beside the file, flushed, and is renamed over it; on failure (also for
    a file larger than the reader takes) the old file stays and `error` says why. */
bool writeDatabaseFile (const juce::File& file, const juce::String& rootTag, const juce::String& version,
                        const std::vector<ID3DataBaseEntry>& records, juce::String& error);
}
