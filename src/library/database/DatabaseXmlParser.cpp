#include "library/database/DatabaseXmlParser.h"

#include "common/xml/XmlCursor.h"

namespace zund
{
namespace
{
class Parser
{
public:
    Parser (const char* text, size_t numBytes) : cursor (text, numBytes) {}

    bool parse (DatabaseRecords& result, juce::String& error)
    {
        if (! cursor.skipToNextTag())
            return fail (error, "no root element");

        std::string_view name;
        const auto root = cursor.readStartTag (name, [&result] (std::string_view attribute, std::string_view value) {
            if (attribute == "version")
                result.version = XmlCursor::toString (value);
        });
        if (root == XmlCursor::Tag::failed)
            return fail (error, cursor.getProblem());
        if (root == XmlCursor::Tag::empty)
            return true;

        result.records.reserve (cursor.remaining() / 512);
        for (;;)
        {
            if (! cursor.skipToNextTag()) // past text and comments between records
                return fail (error, cursor.getProblem().isNotEmpty() ? cursor.getProblem()
                                                                     : juce::String ("the root element is not closed"));
            if (cursor.startsWith ("</"))
                return true;

            auto entry = std::make_unique<ID3DataBaseEntry>();
            entry->startLoading();
            int position = 0;
            const auto tag = cursor.readStartTag (name, [&entry, &position] (std::string_view attribute,
                                                                            std::string_view value) {
                entry->loadAttribute (ID3DataBaseEntry::findStoredAttribute (attribute.data(), attribute.size(), position++),
                                      value.data(), value.size());
            });
            if (tag == XmlCursor::Tag::failed || (tag == XmlCursor::Tag::open && ! cursor.skipContent()))
                return fail (error, cursor.getProblem());
            entry->finishLoading();
            result.records.push_back (std::move (entry));
        }
    }

private:
    static bool fail (juce::String& error, const juce::String& why)
    {
        error = why.isNotEmpty() ? why : juce::String ("not a database file");
        return false;
    }

    XmlCursor cursor;
};
}

bool parseDatabaseXml (const char* text, size_t numBytes, DatabaseRecords& result, juce::String& error)
{
    return Parser (text, numBytes).parse (result, error);
}
}
