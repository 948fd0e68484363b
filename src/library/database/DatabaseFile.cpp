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

/** Attribute text as XML wants it: markup characters and control characters as
    references, everything else as its UTF-8 bytes. */
void writeEscapedText (juce::MemoryOutputStream& out, const juce::String& text)
{
    const char* const bytes = text.toRawUTF8();
    const char* run = bytes;
    const char* c = bytes;
    for (; *c != 0; ++c)
    {
        const auto byte = (unsigned char) *c;
        const char* reference = nullptr;
        switch (byte)
        {
            case '&':  reference = "&amp;"; break;
            case '<':  reference = "&lt;"; break;
            case '>':  reference = "&gt;"; break;
            case '"':  reference = "&quot;"; break;
            case '\'': reference = "&apos;"; break;
            default:
                if (byte >= 0x20)
                    continue;
                break;
        }
        out.write (run, (size_t) (c - run));
        if (reference != nullptr)
            out << reference;
        else
            out << "&#" << (int) byte << ";";
        run = c + 1;
    }
    out.write (run, (size_t) (c - run));
}
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

bool writeDatabaseFile (const juce::File& file, const juce::String& rootTag, const juce::String& version,
                        const std::vector<const ID3DataBaseEntry*>& records, juce::String& error)
{
    // Written straight out: building the framework's element tree for 100,000
    // records first would take several times as long.
    juce::MemoryOutputStream out (records.size() * 600 + 1024);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<" << rootTag << " version=\"";
    writeEscapedText (out, version);
    out << "\">\n";

    const auto* names = ID3DataBaseEntry::getStoredAttributeNames();
    juce::String values[ID3DataBaseEntry::numStoredAttributes];
    for (size_t i = 0; i < records.size(); ++i)
    {
        records[i]->getStoredAttributeValues (values);
        out << "  <Entry" << juce::String ((juce::int64) i);
        for (int a = 0; a < ID3DataBaseEntry::numStoredAttributes; ++a)
        {
            out << " " << names[a].toString() << "=\"";
            writeEscapedText (out, values[a]);
            out << "\"";
        }
        out << "/>\n";
    }
    out << "</" << rootTag << ">\n";

    return replaceFileSafely (file, out.getData(), out.getDataSize(), &error);
}
}
