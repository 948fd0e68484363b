#include "library/database/DatabaseFile.h"

#include "common/SafeXmlReader.h"
#include "common/UserFiles.h"

namespace zund
{
namespace
{
// A record takes some 600 bytes; this leaves room for about 400,000 of them.
constexpr juce::int64 maxDatabaseBytes = 256 * 1024 * 1024;
constexpr int maxDatabaseDepth = 4; // root, records
}

DatabaseFileContents readDatabaseFile (const juce::File& file)
{
    DatabaseFileContents contents;
    auto result = readXmlFileSafely (file, { maxDatabaseBytes, maxDatabaseDepth });
    if (result.parsed() || result.missing)
    {
        contents.root = std::move (result.root);
        return contents;
    }

    const auto reason = "The song database \"" + file.getFileName() + "\" could not be read ("
                      + result.error + ").";
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

bool writeDatabaseFile (const juce::File& file, const juce::XmlElement& root, juce::String& error)
{
    return writeXmlFileSafely (file, root, &error);
}
}
