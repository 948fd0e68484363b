#pragma once

#include <juce_core/juce_core.h>

#include <memory>

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

/** Writes the document beside the file, flushed, and renames it over the file; on
    failure the old file stays and `error` says why. */
bool writeDatabaseFile (const juce::File& file, const juce::XmlElement& root, juce::String& error);
}
