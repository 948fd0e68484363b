#include "common/xml/SafeXmlReader.h"
#include "common/files/UserFiles.h"
#include "support/AllocationWatch.h"
#include "support/BoundedRun.h"
#include "support/RawXmlAttribute.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zund;

namespace
{
const XmlLimits limits { 1 << 20, 16 };

XmlReadResult parse (const std::string& text, const XmlLimits& l = limits)
{
    XmlReadResult result;
    test::finishWithin (10.0, "parsing " + juce::String (text.substr (0, 60)), [&] {
        result = parseXmlSafely (text.data(), text.size(), l);
    });
    return result;
}

std::string nested (int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

/** What the framework's writer makes of text and attribute values; it writes a
    carriage return in text raw, and every parser reads that back as a line feed. */
juce::String normalised (const juce::String& written)
{
    return written.replace ("\r\n", "\n").replace ("\r", "\n");
}
}

// Each of these hangs, overflows the stack, reads a file or memory it does not own
// in the framework's parser; all are refused before it sees them.
TEST (SafeXmlReader, RefusesWhatBreaksTheFrameworkParser)
{
    struct Case { const char* what; std::string text; };
    const Case cases[] = {
        { "processing instruction then text", "<PeakFile><?pi?>x</PeakFile>" },
        { "50,000 nested elements", nested (50000) },
        { "external document type", "<!DOCTYPE x SYSTEM \"/dev/zero\"><x>&e;</x>" },
        { "external parameter entity", "<!DOCTYPE x [<!ENTITY % p SYSTEM \"/etc/passwd\"> %p;]><x/>" },
        { "entity bomb", "<!DOCTYPE x [<!ENTITY a \"&a;&a;\">]><x>&a;</x>" },
        { "not UTF-8 in a document type", "<!DOCTYPE \xff\xfe x><x/>" },
        { "an unknown entity", "<x>&e;</x>" },
        { "an unknown entity in a value", "<x a=\"&e;\"/>" },
        { "a lead byte at the very end", "<x/>\xf0" },
        { "a lead byte before the end of a value", "<x a=\"\xe2\x82\"/>" },
        { "a continuation byte alone", "<x>\x80</x>" },
        { "an overlong form", "<x>\xc0\xaf</x>" },
        { "an overlong NUL", "<x a=\"\xc0\x80\"/>" },
        { "an overlong four-byte form", "<x>\xf0\x8f\xbf\xbf</x>" },
        { std::string ("a NUL").c_str(), std::string ("<x>a\0b</x>", 10) },
        { "a character reference to 0", "<x>&#0;</x>" },
        { "a character reference beyond the writer's", "<x>&#4194304;</x>" },
        { "'&' inside a tag (the parser forgets the error)", "<x><y &#xD=\"1\"/>text</x>" },
        { "'<' inside a value", "<x a=\"<y>\"/>" },
        { "a declaration after a comment", "<!-- c --><?xml version=\"1.0\"?><x/>" },
        { "a stylesheet instruction", "<?xml-stylesheet href=\"a\"?><x/>" },
        { "CDATA outside the root", "<![CDATA[x]]><x/>" },
        { "two roots", "<x/><y/>" },
        { "a closing tag too many", "<x></x></x>" },
        { "an unterminated comment", "<x><!-- </x>" },
        { "an unterminated CDATA section", "<x><![CDATA[ </x>" },
        { "an unterminated tag", "<x a=\"1\"" },
        { "an unclosed element", "<x><y/>" },
        { "no element", "  just text  " },
        { "nothing", "" },
    };
    for (const auto& c : cases)
    {
        const auto result = parse (c.text);
        EXPECT_FALSE (result.parsed()) << c.what;
        EXPECT_TRUE (result.error.isNotEmpty()) << c.what;
        EXPECT_FALSE (result.missing) << c.what;
    }
}

TEST (SafeXmlReader, ReadsWhatWellFormedFilesHold)
{
    const auto result = parse ("\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                               "<!-- settings -->\n"
                               "<Root name=\"&quot;caf\xc3\xa9&quot; &amp; &#233;&#x1F3B5;\" single='a&lt;b'>"
                               "<Child n=\"1\"/>text &gt; more<![CDATA[<raw> & ]]><!-- inside --></Root>\n"
                               "<!-- after -->");
    ASSERT_TRUE (result.parsed()) << result.error;
    EXPECT_TRUE (result.error.isEmpty());
    EXPECT_EQ (result.root->getTagName(), "Root");
    EXPECT_EQ (result.root->getStringAttribute ("name"), juce::CharPointer_UTF8 ("\"caf\xc3\xa9\" & \xc3\xa9\xf0\x9f\x8e\xb5"));
    EXPECT_EQ (result.root->getStringAttribute ("single"), "a<b");
    EXPECT_EQ (result.root->getChildByName ("Child")->getIntAttribute ("n"), 1);
    EXPECT_EQ (result.root->getAllSubText(), "text > more<raw> & ");
}

TEST (SafeXmlReader, NestingUpToTheLimitOfTheFileKind)
{
    for (int depth : { 1, 2, 16 })
    {
        const XmlLimits kind { 1 << 20, depth };
        EXPECT_TRUE (parse (nested (depth), kind).parsed()) << depth;
        EXPECT_FALSE (parse (nested (depth + 1), kind).parsed()) << depth;
        EXPECT_TRUE (parse ("<a>" + nested (depth - 1) + "<b/></a>", kind).parsed()) << "empty elements add no depth";
    }
}

TEST (SafeXmlReader, SizeLimitHolds)
{
    const std::string text = "<x a=\"" + std::string (1000, 'y') + "\"/>";
    EXPECT_TRUE (parse (text, { (juce::int64) text.size(), 4 }).parsed());
    EXPECT_FALSE (parse (text, { (juce::int64) text.size() - 1, 4 }).parsed());
}

namespace
{
/** Strings that strict UTF-8 could not hold but the framework's strings can. */
std::vector<juce::String> unusualStrings()
{
    const juce::uint16 loneSurrogates[] = { 'a', 0xdc00, 'b', 0xd800, 0 };
    return {
        juce::String (juce::CharPointer_UTF16 ((const juce::CharPointer_UTF16::CharType*) loneSurrogates)),
        juce::String (juce::CharPointer_UTF8 ("/music/caf\xff\xbf\xbf\xbf-\xed\xa0\x80.mp3")), // a name that is not UTF-8
        juce::String (juce::CharPointer_UTF8 ("\x01\x02\x1f tab\t cr\r lf\n crlf\r\n")),
        juce::String (juce::CharPointer_UTF8 ("<&>\"' \xf0\x9f\x8e\xb5 \xe2\x80\xae end")),
    };
}
}

// Whatever a string may hold (a lone surrogate from a damaged tag, what a file
// name that is not UTF-8 decodes to, control characters, line ends), a file the
// program writes must read back: a refused one would cost the user the file.
TEST (SafeXmlReader, EverythingTheWritersWriteReadsBack)
{
    test::TempFolder temp;
    const auto values = unusualStrings();

    std::string raw = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Zund2DataBase>\n";
    for (const auto& value : values)
        raw += "  <Entry FILENAME=\"" + test::rawXmlAttribute (value) + "\"/>\n";
    raw += "</Zund2DataBase>\n";
    const auto fromRaw = parse (raw);
    ASSERT_TRUE (fromRaw.parsed()) << fromRaw.error;
    for (int i = 0; i < (int) values.size(); ++i)
        EXPECT_EQ (fromRaw.root->getChildElement (i)->getStringAttribute ("FILENAME"), values[(size_t) i]) << i;

    juce::XmlElement root ("Zund2DataBase");
    for (const auto& value : values)
    {
        auto* song = root.createNewChildElement ("SONG");
        song->setAttribute ("FILENAME", value);
        song->addTextElement (value);
    }
    const auto file = temp.file ("database.xml");
    ASSERT_TRUE (writeXmlFileSafely (file, root));

    const auto result = readXmlFileSafely (file, limits);
    ASSERT_TRUE (result.parsed()) << result.error;
    EXPECT_EQ (normalised (result.root->toString()), normalised (root.toString()));
    for (int i = 0; i < (int) values.size(); ++i)
        EXPECT_EQ (result.root->getChildElement (i)->getStringAttribute ("FILENAME"), values[(size_t) i]) << i;
}

TEST (SafeXmlReader, ReadsOnlyRegularFilesAndNeverWaits)
{
    test::TempFolder temp;
    const auto good = temp.file ("good.xml");
    ASSERT_TRUE (good.replaceWithText ("<x a=\"1\"/>"));
    const auto big = temp.file ("big.xml");
    ASSERT_TRUE (big.replaceWithText ("<x a=\"" + juce::String::repeatedString ("y", 3000) + "\"/>"));
    const auto fifo = temp.file ("fifo.xml");
    ASSERT_EQ (::mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);

    const XmlLimits small { 2000, 4 };
    struct Case { juce::File file; bool parsed, missing; };
    const Case cases[] = {
        { good, true, false },
        { temp.file ("missing.xml"), false, true },
        { temp.file ("missing-folder/x.xml"), false, true },
        { temp.get(), false, false },
        { fifo, false, false },
        { juce::File ("/dev/zero"), false, false },
        { big, false, false },
    };
    for (const auto& c : cases)
    {
        XmlReadResult result;
        test::AllocationWatch watch;
        test::finishWithin (10.0, "reading " + c.file.getFullPathName(), [&] { result = readXmlFileSafely (c.file, small); });
        EXPECT_EQ (result.parsed(), c.parsed) << c.file.getFullPathName();
        EXPECT_EQ (result.missing, c.missing) << c.file.getFullPathName();
        EXPECT_EQ (result.error.isEmpty(), c.parsed || c.missing) << c.file.getFullPathName() << ": " << result.error;
        EXPECT_LT (watch.largest(), 64u * 1024) << "a file beyond the limit is never read in";
    }
}

// An empty colour scheme or mapping (a copy cut short) holds no data pointer at all.
TEST (SafeXmlReader, AnEmptyFileIsAnErrorNotARoot)
{
    test::TempFolder temp;
    const auto empty = temp.file ("defaultColours.xml");
    ASSERT_TRUE (empty.create());

    using Reader = XmlReadResult (*) (const juce::File&, const XmlLimits&);
    for (const Reader read : { Reader (readXmlFileSafely), Reader (readXmlFileAfterPreamble) })
    {
        const auto result = read (empty, limits);
        EXPECT_FALSE (result.parsed());
        EXPECT_FALSE (result.missing);
        EXPECT_EQ (result.error, "the file is empty");
    }
    EXPECT_EQ (parseXmlSafely (nullptr, 0, limits).error, "the file is empty");
}
