#include "library/database/DatabaseXmlParser.h"

#include <cstring>
#include <string>

namespace zund
{
namespace
{
bool isSpace (char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

/** Appends a code point as the framework's strings hold it (which also covers
    the values above 0x10ffff that its writer may have put out). */
void appendCodePoint (std::string& out, juce::uint32 c)
{
    if (c < 0x80)
    {
        out += (char) c;
        return;
    }
    int extra = c >= 0x10000 ? 3 : (c >= 0x800 ? 2 : 1);
    out += (char) ((0xffu << (7 - extra)) | (c >> (extra * 6)));
    while (--extra >= 0)
        out += (char) (0x80u | (0x3fu & (c >> (extra * 6))));
}

class Parser
{
public:
    Parser (const char* text, size_t numBytes) : p (text), end (text + numBytes) {}

    bool parse (DatabaseRecords& result, juce::String& error)
    {
        if (! skipToRoot())
            return fail (error, "no root element");

        bool rootIsEmpty = false;
        const bool rootRead = readStartTag (rootIsEmpty, [&result] (const char* name, size_t nameLength, const char* value, size_t length) {
            if (nameLength == 7 && std::memcmp (name, "version", 7) == 0)
                result.version = length == 0 ? juce::String() : juce::String::fromUTF8 (value, (int) length);
        });
        if (! rootRead)
            return fail (error, problem);
        if (rootIsEmpty)
            return true;

        result.records.reserve ((size_t) (end - p) / 512);
        for (;;)
        {
            while (p < end && *p != '<')
                ++p; // text between records
            if (p == end)
                return fail (error, "the root element is not closed");
            if (startsWith ("</"))
                return true;
            if (skipMarkup())
                continue;
            if (problem.isNotEmpty())
                return fail (error, problem);

            auto entry = std::make_unique<ID3DataBaseEntry>();
            entry->startLoading();
            int position = 0;
            bool isEmpty = false;
            const bool read = readStartTag (isEmpty, [&entry, &position] (const char* name, size_t nameLength,
                                                                         const char* value, size_t length) {
                entry->loadAttribute (ID3DataBaseEntry::findStoredAttribute (name, nameLength, position++), value, length);
            });
            if (! read || (! isEmpty && ! skipElementContent()))
                return fail (error, problem);
            entry->finishLoading();
            result.records.push_back (std::move (entry));
        }
    }

private:
    bool fail (juce::String& error, const juce::String& why)
    {
        error = why.isNotEmpty() ? why : juce::String ("not a database file");
        return false;
    }

    bool startsWith (const char* prefix) const noexcept
    {
        const auto length = std::strlen (prefix);
        return (size_t) (end - p) >= length && std::memcmp (p, prefix, length) == 0;
    }

    bool skipPast (const char* terminator) noexcept
    {
        const auto length = std::strlen (terminator);
        for (; (size_t) (end - p) >= length; ++p)
            if (std::memcmp (p, terminator, length) == 0)
            {
                p += length;
                return true;
            }
        p = end;
        return false;
    }

    /** At a '<': skips a comment, CDATA section, declaration or processing
        instruction and answers true; false for a tag (or a broken one, with
        `problem` set). */
    bool skipMarkup()
    {
        const char* terminator = startsWith ("<!--") ? "-->" : startsWith ("<![CDATA[") ? "]]>"
                               : startsWith ("<?") ? "?>" : startsWith ("<!") ? ">" : nullptr;
        if (terminator == nullptr)
            return false;
        if (! skipPast (terminator))
            problem = "unterminated markup";
        return problem.isEmpty();
    }

    bool skipToRoot()
    {
        for (;;)
        {
            while (p < end && *p != '<')
                ++p;
            if (p == end || ! skipMarkup())
                return p < end && problem.isEmpty();
        }
    }

    /** At a start tag's '<': reads its name and attributes up to its '>'. */
    template <typename OnAttribute>
    bool readStartTag (bool& isEmpty, OnAttribute&& onAttribute)
    {
        ++p;
        while (p < end && ! isSpace (*p) && *p != '/' && *p != '>')
            ++p; // the tag's name, which says nothing here

        for (;;)
        {
            while (p < end && isSpace (*p))
                ++p;
            if (p == end)
                return setProblem ("unterminated tag");
            if (*p == '>' || startsWith ("/>"))
            {
                isEmpty = *p == '/';
                p += isEmpty ? 2 : 1;
                return true;
            }

            const char* name = p;
            while (p < end && ! isSpace (*p) && *p != '=' && *p != '>' && *p != '/')
                ++p;
            const auto nameLength = (size_t) (p - name);
            while (p < end && isSpace (*p))
                ++p;
            if (nameLength == 0 || p == end || *p != '=')
                return setProblem ("an attribute without a value");
            ++p;
            while (p < end && isSpace (*p))
                ++p;
            if (p == end || (*p != '"' && *p != '\''))
                return setProblem ("an attribute value without quotes");

            const char quote = *p++;
            const char* value = p;
            while (p < end && *p != quote)
                ++p;
            if (p == end)
                return setProblem ("unterminated attribute value");
            const auto length = (size_t) (p - value);
            ++p;

            if (std::memchr (value, '&', length) == nullptr)
                onAttribute (name, nameLength, value, length);
            else if (decode (value, length))
                onAttribute (name, nameLength, decoded.data(), decoded.size());
            else
                return false;
        }
    }

    /** The value with its entities and character references replaced. */
    bool decode (const char* value, size_t length)
    {
        decoded.clear();
        const char* const valueEnd = value + length;
        for (const char* c = value; c < valueEnd; ++c)
        {
            if (*c != '&')
            {
                decoded += *c;
                continue;
            }
            const char* semicolon = static_cast<const char*> (std::memchr (c, ';', (size_t) (valueEnd - c)));
            if (semicolon == nullptr)
                return setProblem ("unterminated entity");
            const std::string name (c + 1, semicolon);
            if (! appendEntity (name))
                return setProblem ("unknown entity");
            c = semicolon;
        }
        return true;
    }

    bool appendEntity (const std::string& name)
    {
        static const struct { const char* name; char character; } named[] = {
            { "amp", '&' }, { "lt", '<' }, { "gt", '>' }, { "quot", '"' }, { "apos", '\'' }
        };
        auto isNamed = [&name] (const char* entityName) {
            if (name.size() != std::strlen (entityName))
                return false;
            for (size_t i = 0; i < name.size(); ++i)
                if ((name[i] | 0x20) != entityName[i])
                    return false;
            return true;
        };
        for (const auto& entity : named)
            if (isNamed (entity.name))
            {
                decoded += entity.character;
                return true;
            }

        if (name.size() < 2 || name[0] != '#')
            return false;
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const auto digits = name.substr (hex ? 2 : 1);
        if (digits.empty() || digits.size() > 7)
            return false;
        juce::uint32 codePoint = 0;
        for (const char d : digits)
        {
            int value;
            if (d >= '0' && d <= '9')                  value = d - '0';
            else if (hex && (d | 0x20) >= 'a' && (d | 0x20) <= 'f') value = (d | 0x20) - 'a' + 10;
            else return false;
            codePoint = codePoint * (hex ? 16u : 10u) + (juce::uint32) value;
        }
        if (codePoint == 0 || codePoint > 0x3fffff)
            return false;
        appendCodePoint (decoded, codePoint);
        return true;
    }

    /** After a start tag that is not empty: skips to the end of its element. */
    bool skipElementContent()
    {
        int depth = 1;
        for (;;)
        {
            while (p < end && *p != '<')
                ++p;
            if (p == end)
                return setProblem ("an element is not closed");
            if (skipMarkup())
                continue;
            if (problem.isNotEmpty())
                return false;

            const bool closing = startsWith ("</");
            char quote = 0;
            const char* tagEnd = p + 1;
            for (; tagEnd < end; ++tagEnd)
            {
                if (quote != 0)
                    quote = *tagEnd == quote ? 0 : quote;
                else if (*tagEnd == '"' || *tagEnd == '\'')
                    quote = *tagEnd;
                else if (*tagEnd == '>')
                    break;
            }
            if (tagEnd == end)
                return setProblem ("unterminated tag");

            if (closing)
                --depth;
            else if (tagEnd[-1] != '/')
                ++depth;
            p = tagEnd + 1;
            if (depth == 0)
                return true;
        }
    }

    bool setProblem (const char* why)
    {
        problem = why;
        return false;
    }

    const char* p;
    const char* const end;
    std::string decoded;
    juce::String problem;
};
}

bool parseDatabaseXml (const char* text, size_t numBytes, DatabaseRecords& result, juce::String& error)
{
    return Parser (text, numBytes).parse (result, error);
}
}
