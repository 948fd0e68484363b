#include "common/xml/PlainXml.h"
#include "common/xml/SafeXmlReader.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
// The element structure (tags, attributes in order, child elements) as text,
// for comparing the two readers.
juce::String describe (const PlainXmlElement& e)
{
    juce::String text = "<" + e.tagName;
    for (const auto& [name, value] : e.attributes)
        text << " " << name << "=[" << value << "]";
    text << ">";
    for (const auto& child : e.children)
        text << describe (*child);
    return text + "</>";
}

juce::String describe (const juce::XmlElement& e)
{
    juce::String text = "<" + e.getTagName();
    for (int i = 0; i < e.getNumAttributes(); ++i)
        text << " " << e.getAttributeName (i) << "=[" << e.getAttributeValue (i) << "]";
    text << ">";
    for (auto* child : e.getChildIterator())
        if (! child->isTextElement())
            text << describe (*child);
    return text + "</>";
}

std::unique_ptr<PlainXmlElement> plain (const std::string& text, juce::String& error)
{
    return parsePlainXml (text.data(), text.size(), error);
}
}

// Whatever the safe reader lets through, both readers see the same elements.
TEST (PlainXml, ReadsTheElementsTheFrameworkReads)
{
    const std::string documents[] = {
        "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- c -->\n<Root a=\"1\" b='two'/>\n<!-- after -->",
        "<Root name=\"&quot;caf\xc3\xa9&quot; &amp; &#233;&#x1F3B5;\" single='a&lt;b&GT;' empty=\"\">"
        "<Child n=\"1\"/>text &gt; more<![CDATA[<raw> & ]]><!-- inside --><Child n=\"2\"></Child></Root>",
        "<TreeView lastWidth = \"200\"\n   ID3ViewHeader=\"&lt;TABLELAYOUT sortedCol=&quot;0&quot;/&gt;\"><songFolders>"
        "<SongFolder0 name=\"A\" path=\"/a\"/></songFolders><cases><Case0 name=\"x\"><files file0=\"/a/1.mp3\" "
        "file1=\"/a/1.mp3\" file0=\"dup\"/></Case0></cases></TreeView>",
        "<a x=\"line&#10;break&#9;tab&#13;\"><b><c><d/></c></b></a>",
    };
    for (const auto& text : documents)
    {
        const auto framework = parseXmlSafely (text.data(), text.size(), { 1 << 20, 8 });
        ASSERT_TRUE (framework.parsed()) << framework.error;
        juce::String error;
        const auto ours = plain (text, error);
        ASSERT_NE (ours, nullptr) << error;
        EXPECT_EQ (describe (*ours), describe (*framework.root));
    }
}

TEST (PlainXml, WhatItWritesBothReadersReadBackExactly)
{
    const juce::uint16 loneSurrogate[] = { 'a', 0xdc00, 'b', 0 };
    const juce::String values[] = {
        "plain",
        "\"quoted\" & <marked> 'single'",
        "tab\there, line\nbreak, return\r, bell\x07",
        juce::String::fromUTF8 ("caf\xc3\xa9 \xf0\x9f\x8e\xb5 \xe6\x97\xa5\xe6\x9c\xac"),
        juce::String (juce::CharPointer_UTF16 (reinterpret_cast<const juce::CharPointer_UTF16::CharType*> (loneSurrogate))),
        "",
    };

    PlainXmlElement root ("Root");
    auto& child = root.addChild ("files");
    for (int i = 0; i < (int) std::size (values); ++i)
        child.addAttribute ("file" + juce::String (i), values[i]);
    root.addChild ("empty");

    test::TempFolder temp;
    const auto file = temp.file ("out.xml");
    const auto document = root.toDocument();
    EXPECT_EQ (document.find_first_of ("\t\r\x07"), std::string::npos) << "a reader that follows the standard turns them into spaces";
    EXPECT_NE (document.find ("line&#10;break"), std::string::npos);
    ASSERT_TRUE (file.replaceWithData (document.data(), document.size()));

    const auto checked = readCheckedXmlFile (file, { 1 << 20, 8 });
    ASSERT_TRUE (checked.passed()) << checked.error;
    juce::String error;
    const auto back = parsePlainXml (checked.text(), checked.size(), error);
    ASSERT_NE (back, nullptr) << error;
    const auto framework = readXmlFileSafely (file, { 1 << 20, 8 });
    ASSERT_TRUE (framework.parsed()) << framework.error;

    ASSERT_EQ (back->children.size(), 2u);
    const auto& files = back->children[0]->attributes;
    ASSERT_EQ (files.size(), std::size (values));
    for (size_t i = 0; i < files.size(); ++i)
    {
        EXPECT_EQ (files[i].second, values[i]) << i;
        EXPECT_EQ (framework.root->getChildByName ("files")->getAttributeValue ((int) i), values[i]) << i;
    }
    EXPECT_EQ (describe (*back), describe (*framework.root));
}

// A value holding bytes that are not UTF-8 (a Latin-1 name that got into a
// string unchecked) must not leave the whole file unreadable.
TEST (PlainXml, AValueWithBytesThatAreNotUtf8StillMakesAReadableFile)
{
    PlainXmlElement root ("Root");
    root.addAttribute ("name", juce::String (juce::CharPointer_UTF8 ("caf\xe9 \xff\xfe bar")));
    root.addAttribute ("next", "kept");

    test::TempFolder temp;
    const auto file = temp.file ("out.xml");
    const auto document = root.toDocument();
    ASSERT_TRUE (file.replaceWithData (document.data(), document.size()));

    const auto checked = readCheckedXmlFile (file, { 1 << 20, 8 });
    ASSERT_TRUE (checked.passed()) << checked.error;
    juce::String error;
    const auto back = parsePlainXml (checked.text(), checked.size(), error);
    ASSERT_NE (back, nullptr) << error;
    ASSERT_EQ (back->attributes.size(), 2u);
    EXPECT_TRUE (back->attributes[0].second.startsWith ("caf")) << back->attributes[0].second;
    EXPECT_TRUE (back->attributes[0].second.endsWith (" bar"));
    EXPECT_EQ (back->attributes[1].second, "kept");
}

TEST (PlainXml, TextItCannotReadIsAnErrorNotAGuess)
{
    const std::string broken[] = {
        "<a b/>",                 // an attribute without a value
        "<a b=c/>",               // a value without quotes
        "<a b=\"1/>",             // a value without its end
        "<a><b></a>",             // an element without its end
        "<a b=\"&#xZZ;\"/>",      // a bad reference
        "<a b=\"&nbsp;\"/>",      // an entity it does not know
        "just text",
    };
    for (const auto& text : broken)
    {
        juce::String error;
        EXPECT_EQ (plain (text, error), nullptr) << text;
        EXPECT_TRUE (error.isNotEmpty()) << text;
    }
}
