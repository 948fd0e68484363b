// "database.xml" is read by a reader of its own (the framework's element tree
// would need several times the file in memory, and stops at 2 GB). Files that
// the framework's writer made (older versions) must give exactly the records
// the framework's parser gives, whatever their texts hold.

#include "common/xml/SafeXmlReader.h"
#include "library/database/DatabaseXmlParser.h"
#include "library/database/ID3DataBase.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace zund;

namespace
{
juce::String fromCodePoints (std::initializer_list<juce::juce_wchar> codePoints)
{
    std::vector<juce::juce_wchar> text (codePoints);
    text.push_back (0);
    return juce::String (juce::CharPointer_UTF32 (text.data()));
}

/** What the framework's parser and the record's own reading make of each child
    element. (Text between records is ignored: the framework's reader made an
    empty record of it, which nothing ever wrote.) */
std::vector<ID3DataBaseEntry> recordsAsTheFrameworkReadsThem (const std::string& text)
{
    std::vector<ID3DataBaseEntry> records;
    const auto parsed = parseXmlSafely (text.data(), text.size(), { 1 << 26, 4 });
    EXPECT_TRUE (parsed.parsed()) << parsed.error;
    if (parsed.parsed())
        for (auto* child : parsed.root->getChildIterator())
        {
            if (child->isTextElement())
                continue;
            records.emplace_back();
            records.back().loadFromXml (child);
        }
    return records;
}

std::vector<ID3DataBaseEntry> recordsAsTheDatabaseReadsThem (const std::string& text, juce::String& version)
{
    size_t start = 0;
    EXPECT_EQ (checkXmlText (text.data(), text.size(), 4, start), juce::String());
    DatabaseRecords read;
    juce::String error;
    EXPECT_TRUE (parseDatabaseXml (text.data() + start, text.size() - start, read, error)) << error;
    version = read.version;
    std::vector<ID3DataBaseEntry> records;
    for (auto& record : read.records)
        records.push_back (*record);
    return records;
}

void expectSameRecord (const ID3DataBaseEntry& a, const ID3DataBaseEntry& b, int index)
{
    using Entry = ID3DataBaseEntry;
    for (auto text : { &Entry::filename, &Entry::artist, &Entry::album, &Entry::song, &Entry::bpm, &Entry::label,
                       &Entry::year, &Entry::genre, &Entry::quality })
        EXPECT_EQ ((a.*text).toStdString(), (b.*text).toStdString()) << "record " << index;
    EXPECT_EQ (a.samplerate, b.samplerate) << index;
    EXPECT_EQ (a.seconds, b.seconds) << index;
    EXPECT_EQ (a.lm_date, b.lm_date) << index;
    EXPECT_EQ (a.filesize, b.filesize) << index;
    EXPECT_EQ (a.couldNotWriteMetadata, b.couldNotWriteMetadata) << index;
    for (int i = 0; i < Entry::numCuePoints; ++i)
        EXPECT_EQ (a.cuePoint[i], b.cuePoint[i]) << index << " cue " << i;
}
}

TEST (DatabaseReader, FilesOfTheFrameworksWriterGiveTheFrameworksRecords)
{
    // Texts the framework's writer escapes in all its ways: markup, line ends,
    // control characters, everything above ASCII as a character reference
    // (emoji, a lone surrogate from a damaged tag, what a name that was not
    // UTF-8 decodes to).
    const juce::String texts[] = {
        "plain", "R&B <live> \"x\" 'y'", "two\nlines\r\tand tab", fromCodePoints ({ 'a', 1, 31, 'b' }),
        juce::String::fromUTF8 ("Bj\xc3\xb6rk \xd0\x9a\xd0\xb8\xd0\xbd\xd0\xbe \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\xa7"),
        fromCodePoints ({ 'x', 0xd800, 'y' }), fromCodePoints ({ '/', 'm', '/', 0x9, 0x3fffff, 0x10ffff }), ""
    };
    const char* numbers[] = { "0", "-1", "123456789012345", " 42", "12abc", "9999999999999999999", "", "1e3", "true", "yes" };
    const char* cues[] = { "-1", "0.5", "0.333333343", "7", "nan", "", "-0", "1e-3", "x", "0,5" };

    juce::XmlElement root ("Zund2DataBase");
    root.setAttribute ("version", "2.10");
    for (int i = 0; i < 40; ++i)
    {
        auto* e = root.createNewChildElement ("Entry" + juce::String (i));
        auto text = [&] (int k) { return texts[(size_t) (i + k) % std::size (texts)]; };
        auto number = [&] (int k) { return juce::String (numbers[(size_t) (i + k) % std::size (numbers)]); };
        // A different order for some records, and attributes the reader does not know.
        if (i % 3 == 0)
            e->setAttribute ("cuePoint3", cues[(size_t) i % std::size (cues)]);
        e->setAttribute ("filename", "/music/" + juce::String (i) + text (0));
        for (auto name : { "artist", "album", "song", "bpm", "label", "genre", "year", "quality" })
            e->setAttribute (name, text (juce::String (name).length()));
        for (auto name : { "filesize", "lm_date", "seconds", "samplerate", "couldNotWriteMetadata" })
            e->setAttribute (name, number (juce::String (name).length()));
        for (int c = 0; c < 6; ++c)
            if (c != 3 || i % 3 != 0)
                e->setAttribute ("cuePoint" + juce::String (c), cues[(size_t) (i + c) % std::size (cues)]);
        if (i % 5 == 0)
            e->setAttribute ("unknown", "ignored");
        if (i % 7 == 0)
            e->createNewChildElement ("Inner")->setAttribute ("filename", "/not/a/record.mp3");
    }
    root.addTextElement ("text between records");

    const auto text = root.toString().toStdString();
    const auto expected = recordsAsTheFrameworkReadsThem (text);
    juce::String version;
    const auto records = recordsAsTheDatabaseReadsThem (text, version);
    EXPECT_EQ (version, "2.10");
    ASSERT_EQ (records.size(), expected.size());
    ASSERT_EQ (records.size(), 40u);
    for (size_t i = 0; i < records.size(); ++i)
        expectSameRecord (records[i], expected[i], (int) i);
}

TEST (DatabaseReader, OddButCheckedLayoutsReadAsTheFrameworkReadsThem)
{
    const std::string files[] = {
        "<?xml version=\"1.0\"?>\n<!-- a comment --><R version='1'><!-- x --><E filename='/a' artist=\"it's\"/>"
        "<![CDATA[ <E filename='/no'/> ]]><E\n  filename = \"/b\"\tcuePoint0='0.25' ></E></R>",
        "\xef\xbb\xbf<R><E filename=\"/c&#x2F;d&#47;e\" song=\"&AMP;&Lt;\"/></R>",
        "<R/>",
        "<R></R>",
    };
    for (const auto& text : files)
    {
        const auto expected = recordsAsTheFrameworkReadsThem (text);
        juce::String version;
        const auto records = recordsAsTheDatabaseReadsThem (text, version);
        ASSERT_EQ (records.size(), expected.size()) << text;
        for (size_t i = 0; i < records.size(); ++i)
            expectSameRecord (records[i], expected[i], (int) i);
    }
}

TEST (DatabaseReader, BrokenFilesAreRefusedWithoutReadingPastTheirEnd)
{
    // Each passes the safe reader's checks but is no database file; the reader
    // says so instead of reading outside the text.
    const std::string files[] = { "<R><E filename=/a/></R>", "<R><E filename></R>", "<R><E =\"x\"/></R>",
                                  "<R><E filename=\"a\"", "<R><E/>", "<R><E></E>" };
    for (const auto& text : files)
    {
        DatabaseRecords read;
        juce::String error;
        // An exact copy without a terminator: the sanitizer sees any step past the end.
        std::vector<char> exact (text.begin(), text.end());
        EXPECT_FALSE (parseDatabaseXml (exact.data(), exact.size(), read, error)) << text;
        EXPECT_TRUE (error.isNotEmpty()) << text;
    }
}

TEST (DatabaseReader, NumbersOutOfEveryRangeReadWithoutOverflow)
{
    // Found by fuzzing: the framework's reading of a number overflows an int
    // on a long exponent. Too large a cue point is unset, too small a one is the
    // start; absurd integers stay numbers.
    const std::string text = "<R><E filename=\"/a\" cuePoint0=\"555555555555555e55555555555555555555\""
                             " cuePoint1=\"1e-99999999999\" cuePoint2=\" +0.25\" cuePoint3=\"0x10\""
                             " filesize=\"99999999999999999999999\" seconds=\"-99999999999\"/></R>";
    DatabaseRecords read;
    juce::String error;
    ASSERT_TRUE (parseDatabaseXml (text.data(), text.size(), read, error)) << error;
    ASSERT_EQ (read.records.size(), 1u);
    const auto& record = *read.records[0];
    EXPECT_EQ (record.cuePoint[0], -1.0f);
    EXPECT_EQ (record.cuePoint[1], 0.0f);
    EXPECT_EQ (record.cuePoint[2], 0.25f);
    EXPECT_EQ (record.cuePoint[3], 0.0f) << "read as far as it is a number";
}
