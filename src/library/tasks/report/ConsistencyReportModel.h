#pragma once

#include "library/database/ID3DataBase.h"

#include <functional>
#include <vector>

namespace zund
{
/** What the consistency report shows and does, apart from its window: the list
    of missing records, the list of files to scan, and the three repairs
    (remove the missing records, locate their files elsewhere, rescan). */
class ConsistencyReportModel
{
public:
    /** Reads the files again into their records, consuming the list. */
    using Rescan = std::function<void (std::vector<juce::File>& files)>;

    ConsistencyReportModel (ID3DataBase& database, std::vector<juce::File>& filesToScan, Rescan rescan);

    /** The path of every missing record, in index order, each followed by "\n". */
    juce::String getMissingFilesText() const;

    /** Every file to scan, in list order, each followed by "\n". */
    juce::String getFilesToScanText() const;

    /** The song files and folders the check skipped for their names: shown
        after the files to scan, so the user can rename them. */
    void setSkippedNames (const juce::StringArray& names) { skippedNames = names; }

    /** A line for each skipped name, each followed by "\n"; empty for none. */
    juce::String getSkippedNamesText() const;

    void removeMissingFiles();

    /** What a cancelled rescan leaves stays in the list. */
    void rescanFiles();

    struct LocateResult
    {
        int numMoved = 0;

        /** Found files of a missing record's name whose path already has a record:
            no record moved there. */
        juce::StringArray duplicatePaths;
    };

    /** Looks for the missing records' files among the files of a folder (and its
        sub-folders when asked), by file name, letter case included. Each found
        file, in listing order, takes the first missing record of its name that
        has not moved yet, unless its path already has a record; the record
        moves to that path and is no longer missing. */
    LocateResult locateFiles (const juce::File& folder, bool withSubfolders);

    /** Removes the records still missing whose file name is that of one of the
        duplicates: their files are known to the database under another path. */
    void removeMissingRecordsOf (const juce::StringArray& duplicatePaths);

private:
    ID3DataBase& database;
    std::vector<juce::File>& filesToScan;
    Rescan rescan;
    juce::StringArray skippedNames;
};
}
