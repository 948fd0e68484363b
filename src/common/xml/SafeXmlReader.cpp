#include "common/xml/SafeXmlReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
 #include <emmintrin.h>
#endif

namespace zund
{
namespace
{
using Bytes = const unsigned char*;

// The framework's string takes a length in an int.
constexpr juce::int64 largestText = std::numeric_limits<int>::max() - 1;

// The largest code point the framework's UTF-8 decoder yields (from a 0xff lead byte and three more).
constexpr unsigned long maxCharacterReference = 0x3fffff;

// The checks run over every byte of files of tens of megabytes (the song database):
// where the processor allows, sixteen bytes are looked at in one step.

/** Index of the first byte at or after `from` that is not ASCII or is NUL; `size` when none. */
size_t skipAscii (Bytes text, size_t size, size_t from) noexcept
{
#if defined(__SSE2__)
    const auto zero = _mm_setzero_si128();
    for (; size - from >= 16; from += 16)
    {
        const auto v = _mm_loadu_si128 (reinterpret_cast<const __m128i*> (text + from));
        if (const int mask = _mm_movemask_epi8 (v) | _mm_movemask_epi8 (_mm_cmpeq_epi8 (v, zero)))
            return from + (size_t) __builtin_ctz ((unsigned) mask);
    }
#endif
    while (from < size && text[from] != 0 && text[from] < 0x80)
        ++from;
    return from;
}

/** UTF-8 as the framework's strings hold it: every sequence complete (its lead
    byte and exactly the continuation bytes the lead announces), no overlong form,
    no NUL. That is what keeps the parser's stepping inside the text. Code points
    that strict UTF-8 leaves out (surrogates, anything up to 0x3fffff) pass: a
    string may hold them (a lone surrogate from a damaged tag, what a file name
    that is not UTF-8 decodes to), a writer may put them out as they are, and a
    file the program wrote must read back. */
bool isCompleteUtf8 (Bytes text, size_t size) noexcept
{
    size_t i = 0;
    while ((i = skipAscii (text, size, i)) < size)
    {
        const unsigned c = text[i];
        int extra;
        unsigned codePoint, minimum;
        if (c >= 0xf0)      { extra = 3; codePoint = c & 0x0f; minimum = 0x10000; } // the framework reads four bits
        else if (c >= 0xe0) { extra = 2; codePoint = c & 0x0f; minimum = 0x800; }
        else if (c >= 0xc0) { extra = 1; codePoint = c & 0x1f; minimum = 0x80; }
        else return false; // NUL, or a continuation byte without its lead

        if (size - i <= (size_t) extra)
            return false;
        for (int k = 1; k <= extra; ++k)
        {
            const unsigned next = text[i + (size_t) k];
            if ((next & 0xc0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3f);
        }
        if (codePoint < minimum)
            return false;
        i += (size_t) extra + 1;
    }
    return true;
}

bool startsWith (Bytes text, size_t size, size_t at, const char* prefix) noexcept
{
    const auto length = std::strlen (prefix);
    return size - at >= length && std::memcmp (text + at, prefix, length) == 0;
}

/** Index just past the terminator, or 0 when it never comes. */
size_t skipPast (Bytes text, size_t size, size_t from, const char* terminator) noexcept
{
    const auto length = std::strlen (terminator);
    for (size_t i = from; i + length <= size; ++i)
        if (std::memcmp (text + i, terminator, length) == 0)
            return i + length;
    return 0;
}

bool equalsIgnoreCase (Bytes text, size_t length, const char* word) noexcept
{
    if (std::strlen (word) != length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if ((text[i] | 0x20) != (unsigned char) word[i])
            return false;
    return true;
}

/** The parser knows the five named entities and character references; anything
    else would make it look for a document type. A character reference may name
    any code point up to 0x3fffff: the framework's writer escapes every character
    of a string that way, and a string may hold a lone surrogate (a damaged tag)
    or what a file name that is not UTF-8 decodes to. A file the program wrote
    must read back. Zero, or more digits than the writer makes, is refused. */
bool isKnownEntity (Bytes name, size_t length) noexcept
{
    for (auto* known : { "amp", "lt", "gt", "quot", "apos" })
        if (equalsIgnoreCase (name, length, known))
            return true;

    if (length < 2 || name[0] != '#')
        return false;

    const bool hex = name[1] == 'x' || name[1] == 'X';
    const size_t first = hex ? 2 : 1;
    if (length <= first || length - first > (hex ? 6u : 7u))
        return false;

    unsigned long codePoint = 0;
    for (size_t i = first; i < length; ++i)
    {
        const auto c = name[i];
        int digit;
        if (c >= '0' && c <= '9')                     digit = c - '0';
        else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') digit = (c | 0x20) - 'a' + 10;
        else return false;
        codePoint = codePoint * (hex ? 16 : 10) + (unsigned long) digit;
    }
    return codePoint != 0 && codePoint <= maxCharacterReference;
}

/** Index just past the entity or character reference that starts with the '&' at
    `at`, or 0 when the parser would not know it. */
size_t knownEntityEnd (Bytes text, size_t size, size_t at) noexcept
{
    constexpr size_t longestName = 10; // "#x3fffff", "#4194303" and the names fit
    size_t end = at + 1;
    while (end < size && end - at <= longestName && text[end] != ';')
        ++end;
    if (end >= size || text[end] != ';' || ! isKnownEntity (text + at + 1, end - at - 1))
        return 0;
    return end + 1;
}

juce::String tooLarge (const XmlLimits& limits)
{
    return "the file is larger than " + juce::String (limits.maxBytes) + " bytes";
}

/** The bytes at which the structure check must look; everything else is skipped
    in a tight loop. */
struct MarkupBytes
{
    bool marks[256] {};

    constexpr MarkupBytes()
    {
        for (auto c : { '<', '>', '&', '"', '\'' })
            marks[(unsigned char) c] = true;
    }
};
constexpr MarkupBytes markup;

size_t nextMarkup (Bytes text, size_t size, size_t from) noexcept
{
#if defined(__SSE2__)
    const auto lt = _mm_set1_epi8 ('<'), gt = _mm_set1_epi8 ('>'), amp = _mm_set1_epi8 ('&'),
               quot = _mm_set1_epi8 ('"'), apos = _mm_set1_epi8 ('\'');
    for (; size - from >= 16; from += 16)
    {
        const auto v = _mm_loadu_si128 (reinterpret_cast<const __m128i*> (text + from));
        const auto hits = _mm_or_si128 (_mm_or_si128 (_mm_cmpeq_epi8 (v, lt), _mm_cmpeq_epi8 (v, gt)),
                                        _mm_or_si128 (_mm_cmpeq_epi8 (v, amp),
                                                      _mm_or_si128 (_mm_cmpeq_epi8 (v, quot), _mm_cmpeq_epi8 (v, apos))));
        if (const int mask = _mm_movemask_epi8 (hits))
            return from + (size_t) __builtin_ctz ((unsigned) mask);
    }
#endif
    while (from < size && ! markup.marks[text[from]])
        ++from;
    return from;
}

bool isWhitespaceUpTo (Bytes text, size_t end) noexcept
{
    for (size_t i = 0; i < end; ++i)
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n')
            return false;
    return true;
}

juce::String checkStructure (Bytes text, size_t size, int maxDepth)
{
    size_t i = 0;
    int depth = 0;
    bool sawElement = false;

    while ((i = nextMarkup (text, size, i)) < size)
    {
        const auto c = text[i];

        if (c == '&')
        {
            i = knownEntityEnd (text, size, i);
            if (i == 0)
                return "unknown entity";
            continue;
        }

        if (c != '<')
        {
            ++i; // '>' and quotes are plain text outside tags
            continue;
        }

        if (startsWith (text, size, i, "<?"))
        {
            const bool declaration = isWhitespaceUpTo (text, i) && startsWith (text, size, i, "<?xml")
                                  && size - i > 5 && (text[i + 5] == ' ' || text[i + 5] == '?' || text[i + 5] == '\t'
                                                      || text[i + 5] == '\r' || text[i + 5] == '\n');
            if (! declaration)
                return "processing instruction";
            i = skipPast (text, size, i + 2, "?>");
            if (i == 0)
                return "unterminated XML declaration";
            continue;
        }

        if (startsWith (text, size, i, "<!--"))
        {
            i = skipPast (text, size, i + 4, "-->");
            if (i == 0)
                return "unterminated comment";
            continue;
        }

        if (startsWith (text, size, i, "<![CDATA["))
        {
            if (depth == 0)
                return "text outside the root element";
            i = skipPast (text, size, i + 9, "]]>");
            if (i == 0)
                return "unterminated CDATA section";
            continue;
        }

        if (startsWith (text, size, i, "<!"))
            return "document type or declaration";

        const bool closing = startsWith (text, size, i, "</");

        // Find the tag's end, stepping over quoted attribute values.
        size_t j = i + 1;
        unsigned char quote = 0;
        for (; (j = nextMarkup (text, size, j)) < size; ++j)
        {
            const auto t = text[j];
            if (quote != 0)
            {
                if (t == quote)
                    quote = 0;
                else if (t == '<')
                    return "'<' inside an attribute value";
                else if (t == '&')
                {
                    const auto end = knownEntityEnd (text, size, j);
                    if (end == 0)
                        return "unknown entity";
                    j = end - 1;
                }
            }
            else if (t == '"' || t == '\'')
                quote = t;
            else if (t == '>')
                break;
            else if (t == '<')
                return "'<' inside a tag";
            else if (t == '&')
                return "'&' inside a tag"; // the parser would skip it and read on as text
        }
        if (j >= size)
            return "unterminated tag";

        if (closing)
        {
            if (--depth < 0)
                return "closing tag without an opening tag";
        }
        else if (text[j - 1] != '/')
        {
            if (depth == 0 && sawElement)
                return "more than one root element";
            if (++depth > maxDepth)
                return "elements nested too deeply";
            sawElement = true;
        }
        else
        {
            if (depth == 0 && sawElement)
                return "more than one root element";
            sawElement = true;
        }
        i = j + 1;
    }

    if (! sawElement)
        return "no root element";
    if (depth != 0)
        return "unterminated element";
    return {};
}
}

juce::String checkXmlText (const void* data, size_t numBytes, int maxDepth, size_t& textStart)
{
    auto text = static_cast<Bytes> (data);
    textStart = numBytes >= 3 && text[0] == 0xef && text[1] == 0xbb && text[2] == 0xbf ? 3 : 0;
    text += textStart;
    numBytes -= textStart;

    if (! isCompleteUtf8 (text, numBytes))
        return "the file is not UTF-8 text";
    return checkStructure (text, numBytes, maxDepth);
}

XmlReadResult parseXmlSafely (const void* data, size_t numBytes, const XmlLimits& limits)
{
    XmlReadResult result;
    if ((juce::int64) numBytes > std::min<juce::int64> (limits.maxBytes, largestText))
    {
        result.error = tooLarge (limits);
        return result;
    }

    if (numBytes == 0)
    {
        result.error = "the file is empty";
        return result;
    }

    size_t start = 0;
    result.error = checkXmlText (data, numBytes, limits.maxDepth, start);
    if (result.error.isNotEmpty())
        return result;

    const auto* text = static_cast<const char*> (data) + start;
    juce::XmlDocument document (juce::String::fromUTF8 (text, (int) (numBytes - start)));
    result.root = document.getDocumentElement();
    if (result.root == nullptr)
        result.error = document.getLastParseError().isNotEmpty() ? document.getLastParseError()
                                                                  : juce::String ("not an XML document");
    return result;
}

bool readRegularFile (const juce::File& file, juce::int64 maxBytes, juce::HeapBlock<char>& contents, size_t& size,
                      XmlReadResult& result)
{
    size = 0;
    // Non-blocking: a FIFO or device put in a file's place must not stall the caller.
    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
    {
        result.missing = errno == ENOENT || errno == ENOTDIR;
        if (! result.missing)
            result.error = std::strerror (errno);
        return false;
    }

    struct stat info;
    juce::String error;
    if (::fstat (fd, &info) != 0 || ! S_ISREG (info.st_mode))
        error = "not a file";
    else if (info.st_size > maxBytes)
        error = "the file is larger than " + juce::String (maxBytes) + " bytes";
    else if (contents.malloc ((size_t) info.st_size + 1); contents == nullptr)
        error = "there is not enough memory to read it";
    else
    {
        // One byte more than the size: a file that grows meanwhile is caught.
        const auto room = (size_t) info.st_size + 1;
        size_t filled = 0;
        while (filled < room && error.isEmpty())
        {
            const auto got = ::read (fd, contents.get() + filled, room - filled);
            if (got == 0)
                break;
            if (got > 0)
                filled += (size_t) got;
            else if (errno != EINTR)
                error = std::strerror (errno);
        }
        if (filled > (size_t) info.st_size)
            error = "the file changed while it was read";
        size = filled;
    }
    ::close (fd);

    result.error = error;
    return error.isEmpty();
}

namespace
{
/** Drops whatever text comes between the XML declaration (or the start) and
    the first tag. */
void dropTextBeforeRoot (char* text, size_t& size)
{
    if (size == 0)
        return; // nothing to drop, and the text may have no storage

    size_t start = 0;
    if (size >= 3 && (unsigned char) text[0] == 0xef && (unsigned char) text[1] == 0xbb
        && (unsigned char) text[2] == 0xbf)
        start = 3;
    while (start < size && juce::CharacterFunctions::isWhitespace (text[start]))
        ++start;

    if (size - start >= 5 && std::memcmp (text + start, "<?xml", 5) == 0)
    {
        const auto* end = static_cast<const char*> (std::memchr (text + start, '>', size - start));
        if (end == nullptr)
            return;
        start = (size_t) (end - text) + 1;
    }

    auto* firstTag = static_cast<char*> (std::memchr (text + start, '<', size - start));
    if (firstTag != nullptr && firstTag > text + start)
    {
        const auto removed = (size_t) (firstTag - (text + start));
        std::memmove (text + start, firstTag, size - start - removed);
        size -= removed;
    }
}

juce::int64 readLimit (const XmlLimits& limits)
{
    return std::min<juce::int64> (limits.maxBytes, largestText);
}
}

namespace
{
XmlReadResult readAndParse (const juce::File& file, const XmlLimits& limits, bool dropPreamble)
{
    XmlReadResult result;
    juce::HeapBlock<char> contents;
    size_t size = 0;
    if (! readRegularFile (file, readLimit (limits), contents, size, result))
    {
        if (result.error.startsWith ("the file is larger"))
            result.error = tooLarge (limits);
        return result;
    }
    if (dropPreamble)
        dropTextBeforeRoot (contents.get(), size);
    return parseXmlSafely (contents.get(), size, limits);
}
}

XmlReadResult readXmlFileSafely (const juce::File& file, const XmlLimits& limits)
{
    return readAndParse (file, limits, false);
}

XmlReadResult readXmlFileAfterPreamble (const juce::File& file, const XmlLimits& limits)
{
    return readAndParse (file, limits, true);
}

CheckedXmlText readCheckedXmlFile (const juce::File& file, const XmlLimits& limits)
{
    CheckedXmlText checked;
    XmlReadResult reading;
    if (! readRegularFile (file, limits.maxBytes, checked.bytes, checked.numBytes, reading))
    {
        checked.missing = reading.missing;
        checked.error = reading.error;
        return checked;
    }
    checked.error = checkXmlText (checked.bytes.get(), checked.numBytes, limits.maxDepth, checked.start);
    return checked;
}
}
