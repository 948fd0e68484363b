#include "common/xml/PlainXml.h"

#include "common/xml/XmlCursor.h"

#include <limits>

namespace zund
{
namespace
{
void appendUtf8 (std::string& out, juce::juce_wchar c)
{
    char bytes[8] = {};
    juce::CharPointer_UTF8 (bytes).write (c);
    out += bytes;
}

class Parser
{
public:
    Parser (const char* text, size_t size) : cursor (text, size) {}

    std::unique_ptr<PlainXmlElement> document()
    {
        if (cursor.startsWith ("\xef\xbb\xbf"))
            cursor.skip (3);

        // Space, comments and the XML declaration before the root.
        for (;;)
        {
            cursor.skipSpace();
            const auto markup = cursor.skipMarkup();
            if (markup == XmlCursor::Markup::none)
                break;
            if (markup == XmlCursor::Markup::unterminated)
                return failed (cursor.getProblem());
        }
        return element (0);
    }

    juce::String error;

private:
    std::nullptr_t failed (const juce::String& why)
    {
        if (error.isEmpty())
            error = why;
        return nullptr;
    }

    std::unique_ptr<PlainXmlElement> element (int depth)
    {
        if (depth > 1000 || ! cursor.startsWith ("<"))
            return failed ("an element was expected");

        auto e = std::make_unique<PlainXmlElement>();
        std::string_view tagName;
        const auto tag = cursor.readStartTag (tagName, [&e] (std::string_view name, std::string_view value) {
            e->attributes.emplace_back (XmlCursor::toString (name), XmlCursor::toString (value));
        });
        if (tag == XmlCursor::Tag::failed)
            return failed (cursor.getProblem());
        e->tagName = XmlCursor::toString (tagName);
        if (tag == XmlCursor::Tag::empty)
            return e;

        // The content: child elements, and text, comments and CDATA, which are skipped.
        for (;;)
        {
            if (! cursor.skipToNextTag())
                return failed (cursor.getProblem().isNotEmpty() ? cursor.getProblem()
                                                                : "<" + e->tagName + "> is not closed");
            if (cursor.startsWith ("</"))
            {
                if (! cursor.skipPast (">"))
                    return failed ("no >");
                return e;
            }

            auto child = element (depth + 1);
            if (child == nullptr)
                return nullptr;
            e->children.push_back (std::move (child));
        }
    }

    XmlCursor cursor;
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
