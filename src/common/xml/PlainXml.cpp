#include "common/xml/PlainXml.h"

#include <cstring>
#include <limits>

namespace zund
{
namespace
{
bool isSpace (char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool equalsIgnoringCase (const char* text, size_t length, const char* word) noexcept
{
    if (std::strlen (word) != length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if ((text[i] | 0x20) != word[i])
            return false;
    return true;
}

void appendUtf8 (std::string& out, juce::juce_wchar c)
{
    char bytes[8] = {};
    juce::CharPointer_UTF8 (bytes).write (c);
    out += bytes;
}

class Parser
{
public:
    Parser (const char* text, size_t size) : p (text), end (text + size) {}

    std::unique_ptr<PlainXmlElement> document()
    {
        if (startsWith ("\xef\xbb\xbf"))
            p += 3;
        skipMisc();
        auto root = element (0);
        if (root != nullptr)
            skipMisc();
        return root;
    }

    juce::String error;

private:
    bool startsWith (const char* prefix) const noexcept
    {
        const auto length = std::strlen (prefix);
        return (size_t) (end - p) >= length && std::memcmp (p, prefix, length) == 0;
    }

    bool fail (const juce::String& why)
    {
        if (error.isEmpty())
            error = why;
        return false;
    }

    void skipSpace() noexcept
    {
        while (p < end && isSpace (*p))
            ++p;
    }

    bool skipPast (const char* terminator)
    {
        const auto length = std::strlen (terminator);
        for (; p + length <= end; ++p)
            if (std::memcmp (p, terminator, length) == 0)
            {
                p += length;
                return true;
            }
        return fail (juce::String ("no ") + terminator);
    }

    // Space, comments and the XML declaration around the root.
    void skipMisc()
    {
        for (;;)
        {
            skipSpace();
            if (startsWith ("<?"))
                skipPast ("?>");
            else if (startsWith ("<!--"))
                skipPast ("-->");
            else
                return;
        }
    }

    bool readName (juce::String& name)
    {
        const auto* start = p;
        while (p < end && ! isSpace (*p) && *p != '=' && *p != '/' && *p != '>' && *p != '<')
            ++p;
        if (p == start)
            return fail ("a name is missing");
        name = juce::String::fromUTF8 (start, (int) (p - start));
        return true;
    }

    bool decodeEntity (std::string& out)
    {
        const auto* semicolon = static_cast<const char*> (std::memchr (p, ';', (size_t) juce::jmin<ptrdiff_t> (end - p, 12)));
        if (semicolon == nullptr)
            return fail ("an unterminated entity");
        const auto* name = p + 1;
        const auto length = (size_t) (semicolon - name);
        p = semicolon + 1;

        const std::pair<const char*, char> named[] = { { "amp", '&' }, { "lt", '<' }, { "gt", '>' }, { "quot", '"' }, { "apos", '\'' } };
        for (const auto& [word, c] : named)
            if (equalsIgnoringCase (name, length, word))
            {
                out += c;
                return true;
            }

        if (length < 2 || name[0] != '#')
            return fail ("an unknown entity");
        const bool hex = name[1] == 'x' || name[1] == 'X';
        juce::juce_wchar code = 0;
        for (size_t i = hex ? 2 : 1; i < length; ++i)
        {
            const int digit = juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (unsigned char) name[i]);
            if (digit < 0 || (! hex && digit > 9) || code > 0x3fffff)
                return fail ("a bad character reference");
            code = code * (hex ? 16 : 10) + (juce::juce_wchar) digit;
        }
        if (code == 0 || code > 0x3fffff)
            return fail ("a bad character reference");
        appendUtf8 (out, code);
        return true;
    }

    bool readValue (juce::String& value)
    {
        if (p >= end || (*p != '"' && *p != '\''))
            return fail ("an attribute value is not quoted");
        const char quote = *p++;
        const auto* close = static_cast<const char*> (std::memchr (p, quote, (size_t) (end - p)));
        if (close == nullptr)
            return fail ("an unterminated attribute value");

        const auto* amp = static_cast<const char*> (std::memchr (p, '&', (size_t) (close - p)));
        if (amp == nullptr)
        {
            value = juce::String::fromUTF8 (p, (int) (close - p));
            p = close + 1;
            return true;
        }

        std::string decoded (p, amp);
        p = amp;
        while (p < close)
        {
            if (*p == '&')
            {
                if (! decodeEntity (decoded))
                    return false;
                continue;
            }
            const auto* next = static_cast<const char*> (std::memchr (p, '&', (size_t) (close - p)));
            if (next == nullptr)
                next = close;
            decoded.append (p, next);
            p = next;
        }
        value = juce::String::fromUTF8 (decoded.data(), (int) decoded.size());
        p = close + 1;
        return true;
    }

    std::unique_ptr<PlainXmlElement> element (int depth)
    {
        if (depth > 1000 || ! startsWith ("<"))
        {
            fail ("an element was expected");
            return nullptr;
        }
        ++p;
        auto e = std::make_unique<PlainXmlElement>();
        if (! readName (e->tagName))
            return nullptr;

        for (;;)
        {
            skipSpace();
            if (startsWith ("/>"))
            {
                p += 2;
                return e;
            }
            if (startsWith (">"))
            {
                ++p;
                break;
            }
            juce::String name, value;
            if (! readName (name))
                return nullptr;
            skipSpace();
            if (p >= end || *p != '=')
            {
                fail ("'=' is missing after \"" + name + "\"");
                return nullptr;
            }
            ++p;
            skipSpace();
            if (! readValue (value))
                return nullptr;
            e->attributes.emplace_back (std::move (name), std::move (value));
        }

        // The content: child elements, and text, comments and CDATA, which are skipped.
        for (;;)
        {
            const auto* next = static_cast<const char*> (std::memchr (p, '<', (size_t) (end - p)));
            if (next == nullptr)
            {
                fail ("<" + e->tagName + "> is not closed");
                return nullptr;
            }
            p = next;
            if (startsWith ("</"))
            {
                if (! skipPast (">"))
                    return nullptr;
                return e;
            }
            if (startsWith ("<!--"))
            {
                if (! skipPast ("-->"))
                    return nullptr;
                continue;
            }
            if (startsWith ("<![CDATA["))
            {
                if (! skipPast ("]]>"))
                    return nullptr;
                continue;
            }
            auto child = element (depth + 1);
            if (child == nullptr)
                return nullptr;
            e->children.push_back (std::move (child));
        }
    }

    const char* p;
    const char* const end;
};

void appendEscaped (std::string& out, const juce::String& value)
{
    const auto* utf8 = value.toRawUTF8();
    if (! juce::CharPointer_UTF8::isValidString (utf8, std::numeric_limits<int>::max()))
    {
        // Bytes that are not UTF-8 would leave the whole file unreadable: each
        // character goes out as the framework's strings decode it.
        std::string repaired;
        for (auto p = value.getCharPointer(); ! p.isEmpty();)
            appendUtf8 (repaired, p.getAndAdvance());
        appendEscaped (out, juce::String::fromUTF8 (repaired.data(), (int) repaired.size()));
        return;
    }

    for (const auto* c = utf8; *c != 0; ++c)
    {
        const auto byte = (unsigned char) *c;
        switch (byte)
        {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                if (byte < 0x20)
                    out += "&#" + std::to_string (byte) + ";"; // kept as they are, not read as spaces
                else
                    out += (char) byte;
                break;
        }
    }
}

void appendElement (std::string& out, const PlainXmlElement& e, int indent)
{
    out.append ((size_t) indent, ' ');
    out += '<';
    out += e.tagName.toRawUTF8();
    for (const auto& [name, value] : e.attributes)
    {
        out += ' ';
        out += name.toRawUTF8();
        out += "=\"";
        appendEscaped (out, value);
        out += '"';
    }
    if (e.children.empty())
    {
        out += "/>";
        return;
    }
    out += '>';
    for (const auto& child : e.children)
    {
        out += '\n';
        appendElement (out, *child, indent + 2);
    }
    out += '\n';
    out.append ((size_t) indent, ' ');
    out += "</";
    out += e.tagName.toRawUTF8();
    out += '>';
}
}

PlainXmlElement& PlainXmlElement::addChild (const juce::String& tag)
{
    children.push_back (std::make_unique<PlainXmlElement> (tag));
    return *children.back();
}

const PlainXmlElement* PlainXmlElement::findChildIgnoringCase (const juce::String& name) const
{
    for (const auto& child : children)
        if (child->tagName.equalsIgnoreCase (name))
            return child.get();
    return nullptr;
}

const juce::String* PlainXmlElement::findAttributeIgnoringCase (const juce::String& name) const
{
    for (const auto& attribute : attributes)
        if (attribute.first.equalsIgnoreCase (name))
            return &attribute.second;
    return nullptr;
}

std::string PlainXmlElement::toDocument() const
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n";
    appendElement (out, *this, 0);
    out += '\n';
    return out;
}

std::unique_ptr<PlainXmlElement> parsePlainXml (const char* text, size_t numBytes, juce::String& error)
{
    Parser parser (text, numBytes);
    auto root = parser.document();
    error = parser.error;
    return root;
}
}
