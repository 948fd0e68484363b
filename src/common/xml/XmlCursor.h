#pragma once

#include <juce_core/juce_core.h>

#include <cstring>
#include <string>
#include <string_view>

namespace zund
{
/** A reading position in XML text for readers that take the text apart
    themselves, after it passed the safe reader's checks (checkXmlText): valid
    UTF-8, known entities only, tags that nest and close. Each step stays inside
    the text whatever it holds: on text that did not pass, a step fails (and
    says why), it never reads past the end. */
class XmlCursor
{
public:
    XmlCursor (const char* text, size_t numBytes) noexcept : p (text), end (text + numBytes) {}

    size_t remaining() const noexcept { return (size_t) (end - p); }

    bool startsWith (std::string_view prefix) const noexcept
    {
        return remaining() >= prefix.size() && std::memcmp (p, prefix.data(), prefix.size()) == 0;
    }

    void skip (size_t numBytes) noexcept { p += numBytes; }

    void skipSpace() noexcept
    {
        while (p < end && isSpace (*p))
            ++p;
    }

    /** To the next '<' (text is passed over); false, at the end, when there is none. */
    bool skipToTag() noexcept
    {
        if (p == end)
            return false; // an empty text may have no storage at all
        const auto* next = static_cast<const char*> (std::memchr (p, '<', remaining()));
        p = next != nullptr ? next : end;
        return next != nullptr;
    }

    /** Just past the terminator; false, at the end, when it never comes. */
    bool skipPast (std::string_view terminator) noexcept;

    enum class Markup
    {
        none,        // a tag, or no '<' here
        skipped,     // a comment, CDATA section, processing instruction or declaration
        unterminated // one of those without its end (the cursor is at the end)
    };

    /** At a '<': moves past a comment, CDATA section, processing instruction or
        declaration; stays at a tag. */
    Markup skipMarkup() noexcept;

    /** To the next tag (start or end), past text and markup; false at the end,
        and at markup without its end (with the problem said). */
    bool skipToNextTag() noexcept;

    enum class Tag
    {
        failed,
        open, // its content follows
        empty // it closed itself ("/>")
    };

    /** At a start tag's '<': reads its name and attributes, up to and past its
        '>'. Each attribute goes to onAttribute (std::string_view name,
        std::string_view value) as it is read, its value's entities and character
        references replaced (the views last until the next step). */
    template <typename OnAttribute>
    Tag readStartTag (std::string_view& name, OnAttribute&& onAttribute)
    {
        ++p;
        if (! readName (name))
            return Tag::failed;

        for (;;)
        {
            skipSpace();
            if (p == end)
            {
                fail ("a tag is not closed");
                return Tag::failed;
            }
            if (*p == '>')
            {
                ++p;
                return Tag::open;
            }
            if (startsWith ("/>"))
            {
                p += 2;
                return Tag::empty;
            }

            std::string_view attribute, value;
            if (! readAttribute (attribute, value))
                return Tag::failed;
            onAttribute (attribute, value);
        }
    }

    /** After a start tag whose content follows: moves past the end of its
        element, whatever it holds. */
    bool skipContent();

    /** Why the last step failed. */
    const juce::String& getProblem() const noexcept { return problem; }

    /** Text from the UTF-8 bytes of a name or value. */
    static juce::String toString (std::string_view text)
    {
        return text.empty() ? juce::String() : juce::String::fromUTF8 (text.data(), (int) text.size());
    }

private:
    static bool isSpace (char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    /** The bytes that end a name: space, '=', '/', '>', '<'. */
    struct NameEnds
    {
        bool ends[256] {};

        constexpr NameEnds()
        {
            for (auto c : { ' ', '\t', '\r', '\n', '=', '/', '>', '<' })
                ends[(unsigned char) c] = true;
        }
    };

    bool readName (std::string_view& name)
    {
        static constexpr NameEnds nameEnds;
        const auto* start = p;
        while (p < end && ! nameEnds.ends[(unsigned char) *p])
            ++p;
        name = std::string_view (start, (size_t) (p - start));
        return ! name.empty() || fail ("a name is missing");
    }

    /** name = "value" (or 'value'), with space around the '='. */
    bool readAttribute (std::string_view& name, std::string_view& value)
    {
        if (! readName (name))
            return false;
        skipSpace();
        if (p == end || *p != '=')
            return fail ("'=' is missing after \"" + toString (name) + "\"");
        ++p;
        skipSpace();
        if (p == end || (*p != '"' && *p != '\''))
            return fail ("an attribute value is not quoted");

        const char quote = *p++;
        const auto* close = static_cast<const char*> (std::memchr (p, quote, remaining()));
        if (close == nullptr)
            return fail ("an attribute value is not closed");
        value = std::string_view (p, (size_t) (close - p));
        p = close + 1;
        return value.find ('&') == std::string_view::npos || decode (value);
    }

    /** The value with its entities and character references replaced, in `decoded`. */
    bool decode (std::string_view& value);
    bool appendEntity (std::string_view name);

    bool fail (const juce::String& why)
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
