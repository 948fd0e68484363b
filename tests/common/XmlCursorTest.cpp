// The cursor both file readers ("database.xml", "TreeView.xml") step through
// checked XML with. A file cut short (a full disk, a copy stopped half-way)
// may end inside any of its steps: each must then fail and say why, without
// reading a byte past the text.

#include "common/xml/XmlCursor.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zund;

namespace
{
// Every kind of step: declaration, comments, CDATA, both quotes, space around
// '=', entities and references, empty and open elements, nested content.
const std::string document =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- list -->\n"
    "<Root version='2.20' name = \"R&amp;B &lt;live&gt; &#233;&#x1F3B5;\">\n"
    "  <Entry0 filename=\"/a/b.mp3\" artist='it&apos;s' cuePoint0=\"0.5\"/>\n"
    "  text &gt; between <![CDATA[ <Entry9 filename='/no'/> ]]>\n"
    "  <Entry1 filename=\"/c&quot;d.mp3\"><Inner x=\"a>b\"><Deeper/></Inner><!-- c --></Entry1>\n"
    "</Root>\n";

/** What a reader of records makes of the text: the root's attributes and each
    child's, as "Tag.name=value" lines; empty, with `problem` set, when a step fails. */
std::vector<std::string> readRecords (const char* text, size_t size, juce::String& problem)
{
    std::vector<std::string> read;
    XmlCursor cursor (text, size);
    std::string_view tag;
    auto note = [&read, &tag] (std::string_view name, std::string_view value) {
        read.push_back (std::string (tag) + "." + std::string (name) + "=" + std::string (value));
    };
    auto failed = [&] {
        problem = cursor.getProblem().isNotEmpty() ? cursor.getProblem() : juce::String ("ended early");
        return std::vector<std::string>();
    };

    if (! cursor.skipToNextTag() || cursor.readStartTag (tag, note) != XmlCursor::Tag::open)
        return failed();
    for (;;)
    {
        if (! cursor.skipToNextTag())
            return failed();
        if (cursor.startsWith ("</"))
            return read;
        const auto child = cursor.readStartTag (tag, note);
        if (child == XmlCursor::Tag::failed || (child == XmlCursor::Tag::open && ! cursor.skipContent()))
            return failed();
    }
}
}

TEST (XmlCursor, EveryStepOfATextCutShortFailsInsideIt)
{
    juce::String problem;
    const auto whole = readRecords (document.data(), document.size(), problem);
    const std::vector<std::string> expected {
        "Root.version=2.20", "Root.name=R&B <live> \xc3\xa9\xf0\x9f\x8e\xb5",
        "Entry0.filename=/a/b.mp3", "Entry0.artist=it's", "Entry0.cuePoint0=0.5", "Entry1.filename=/c\"d.mp3"
    };
    EXPECT_EQ (whole, expected) << problem;

    // Each cut in a buffer of exactly its length: the sanitizer sees any step past it.
    const auto rootClose = document.rfind ("</Root>");
    for (size_t length = 0; length < rootClose; ++length)
    {
        std::vector<char> cut (document.begin(), document.begin() + (std::ptrdiff_t) length);
        problem = {};
        EXPECT_TRUE (readRecords (cut.data(), cut.size(), problem).empty()) << length;
        EXPECT_TRUE (problem.isNotEmpty()) << length;
    }
}
