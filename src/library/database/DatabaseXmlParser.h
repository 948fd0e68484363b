#pragma once

#include "library/database/ID3DataBaseEntry.h"

#include <memory>
#include <vector>

namespace zund
{
/** What a database file holds: the root's "version" and one record per child
    element of the root, in file order. */
struct DatabaseRecords
{
    juce::String version;
    std::vector<std::unique_ptr<ID3DataBaseEntry>> records;
};

/** Reads database XML straight into records, without building the framework's
    element tree (which takes several times the file's size in memory and is
    limited to texts of 2 GB). The text must have passed checkXmlText: it is
    valid UTF-8, its tags nest and close and its entities are known. Any root
    and child names are taken; unknown attributes and anything inside a record
    element are ignored. False, with `error` set, when it is not such a file. */
bool parseDatabaseXml (const char* text, size_t numBytes, DatabaseRecords& result, juce::String& error);
}
