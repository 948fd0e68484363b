#include "common/xml/XmlCursor.h"

namespace zund
{
namespace
{
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

bool equalsIgnoringCase (std::string_view text, const char* word) noexcept
{
    if (text.size() != std::strlen (word))
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if ((text[i] | 0x20) != word[i])
            return false;
    return true;
}

// The largest code point the framework's UTF-8 decoder yields.
constexpr juce::uint32 largestCharacterReference = 0x3fffff;
}

bool XmlCursor::skipPast (std::string_view terminator) noexcept
{
    for (; remaining() >= terminator.size(); ++p)
        if (std::memcmp (p, terminator.data(), terminator.size()) == 0)
        {
            p += terminator.size();
            return true;
        }
    p = end;
    return false;
}

XmlCursor::Markup XmlCursor::skipMarkup() noexcept
{
    // Each terminator is looked for from the '<' on, as the framework's parser does.
    const char* terminator = startsWith ("<!--") ? "-->" : startsWith ("<![CDATA[") ? "]]>"
                           : startsWith ("<?") ? "?>" : startsWith ("<!") ? ">" : nullptr;
    if (terminator == nullptr)
        return Markup::none;
    if (skipPast (terminator))
        return Markup::skipped;
    fail (juce::String ("no ") + terminator);
    return Markup::unterminated;
}

bool XmlCursor::skipToNextTag() noexcept
{
    while (skipToTag())
    {
        const auto markup = skipMarkup();
        if (markup != Markup::skipped)
            return markup == Markup::none;
    }
    return false;
}

bool XmlCursor::skipContent()
{
    int depth = 1;
    for (;;)
    {
        if (! skipToNextTag())
            return problem.isNotEmpty() ? false : fail ("an element is not closed");

        // The tag's end, stepping over quoted values.
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
        {
            p = end;
            return fail ("a tag is not closed");
        }

        if (closing)
            --depth;
        else if (tagEnd[-1] != '/')
            ++depth;
        p = tagEnd + 1;
        if (depth == 0)
            return true;
    }
}

bool XmlCursor::decode (std::string_view& value)
{
    decoded.clear();
    for (size_t i = 0; i < value.size();)
    {
        const auto amp = value.find ('&', i);
        decoded.append (value.data() + i, (amp == std::string_view::npos ? value.size() : amp) - i);
        if (amp == std::string_view::npos)
            break;
        const auto semicolon = value.find (';', amp);
        if (semicolon == std::string_view::npos)
            return fail ("an entity is not closed");
        if (! appendEntity (value.substr (amp + 1, semicolon - amp - 1)))
            return false;
        i = semicolon + 1;
    }
    value = decoded;
    return true;
}

// The five named entities (letter case ignored) and character references of up
// to seven decimal or six hexadecimal digits: what the safe reader lets through.
bool XmlCursor::appendEntity (std::string_view name)
{
    static const struct { const char* name; char character; } named[] = {
        { "amp", '&' }, { "lt", '<' }, { "gt", '>' }, { "quot", '"' }, { "apos", '\'' }
    };
    for (const auto& entity : named)
        if (equalsIgnoringCase (name, entity.name))
        {
            decoded += entity.character;
            return true;
        }

    if (name.size() < 2 || name[0] != '#')
        return fail ("an unknown entity");
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const auto digits = name.substr (hex ? 2 : 1);
    if (digits.empty() || digits.size() > (hex ? 6u : 7u))
        return fail ("a bad character reference");

    juce::uint32 codePoint = 0;
    for (const char d : digits)
    {
        int digit;
        if (d >= '0' && d <= '9')
            digit = d - '0';
        else if (hex && (d | 0x20) >= 'a' && (d | 0x20) <= 'f')
            digit = (d | 0x20) - 'a' + 10;
        else
            return fail ("a bad character reference");
        codePoint = codePoint * (hex ? 16u : 10u) + (juce::uint32) digit;
    }
    if (codePoint == 0 || codePoint > largestCharacterReference)
        return fail ("a bad character reference");
    appendCodePoint (decoded, codePoint);
    return true;
}
}
