#pragma once

#include "library/database/ID3DataBaseEntry.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

namespace zund
{
/** What reading the database file gave. */
struct DatabaseFileContents
{
    /** The document element; null when there is nothing to load. */
    std::unique_ptr<juce::XmlElement> root;

    /** For the user, when the file exists but could not be read: why, and where the
        file has been kept. Empty otherwise (a missing file is no problem). */
    juce::String problem;

    /** The unreadable file could not be moved aside either: it must not be written over. */
    bool mustNotOverwrite = false;
};

/** Reads the database file through the safe XML reader, with room for some
    hundred thousand records. A file that cannot be read or parsed is moved aside
    ("database.xml.bad-<time>"), never left to be overwritten. */
DatabaseFileContents readDatabaseFile (const juce::File& file);

/** Writes the records as a UTF-8 XML document, root element `rootTag` with the
    "version", one child "Entry<n>" per record with its stored attributes. The text
    goes beside the file, flushed, and is renamed over it; on failure the old file
    stays and `error` says why. */
bool writeDatabaseFile (const juce::File& file, const juce::String& rootTag, const juce::String& version,
                        const std::vector<const ID3DataBaseEntry*>& records, juce::String& error);
}
