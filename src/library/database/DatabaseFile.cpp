#include "library/database/DatabaseFile.h"

#include "common/xml/SafeXmlReader.h"
#include "common/files/UserFiles.h"

namespace zund
{
namespace
{
constexpr int maxDatabaseDepth = 4; // root, records and what an older writer may have put inside them

/** Reads and checks the file; false with `error` set when it cannot be read or parsed. */
bool readRecords (const juce::File& file, DatabaseRecords& database, bool& missing, juce::String& error)
{
    XmlReadResult read;
    juce::HeapBlock<char> contents;
    size_t size = 0;
    if (! readRegularFile (file, maxDatabaseFileBytes, contents, size, read))
    {
        missing = read.missing;
        error = read.error;
        return false;
    }

    size_t start = 0;
    error = checkXmlText (contents.get(), size, maxDatabaseDepth, start);
    return error.isEmpty() && parseDatabaseXml (contents.get() + start, size - start, database, error);
}
}

DatabaseFileContents readDatabaseFile (const juce::File& file)
{
    DatabaseFileContents contents;
    bool missing = false;
    juce::String error;
    if (readRecords (file, contents.database, missing, error) || missing)
        return contents;

    contents.database = {};
    const auto reason = "The song database \"" + file.getFileName() + "\" could not be read (" + error + ").";
    const auto aside = keepFileAside (file);
    if (aside != juce::File())
    {
        contents.problem = reason + "\nIt has been kept as \"" + aside.getFullPathName()
                         + "\", and the library starts empty.";
    }
    else
    {
        contents.mustNotOverwrite = true;
        contents.problem = reason + "\nIt could not be moved aside either, so it will not be written over:"
                           " changes to the library will not be saved in this session.";
    }
    return contents;
}

bool writeDatabaseFile (const juce::File& file, const juce::String& rootTag, const juce::String& version,
                        const std::vector<ID3DataBaseEntry>& records, juce::String& error)
{
    // Written straight out: building the framework's element tree for 100,000
    // records first would take several times as long.
    return replaceFileSafely (file, [&] (juce::OutputStream& out, juce::String& reason) {
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<" << rootTag << " version=\"" << version << "\">\n";
        for (size_t i = 0; i < records.size(); ++i)
        {
            out << "  <Entry" << (juce::int64) i;
            records[i].writeStoredAttributes (out);
            out << "/>\n";

            // What is written must read back.
            if (out.getPosition() > maxDatabaseFileBytes)
            {
                reason = "the library is larger than the " + juce::String (maxDatabaseFileBytes)
                       + " bytes the program reads back";
                return false;
            }
        }
        out << "</" << rootTag << ">\n";
        return true;
    }, &error);
}
}
