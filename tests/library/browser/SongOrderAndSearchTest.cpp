#include "library/browser/SongRowComparator.h"
#include "library/browser/SongSearch.h"
#include "library/browser/SongTableColumns.h"
#include "library/database/ID3DataBaseEntry.h"

#include <gtest/gtest.h>

using namespace zund;
using Col = SongTableColumns;

TEST (SongRowOrder, eachColumnComparesByItsOwnRule)
{
    struct Case
    {
        int column;
        const char *before, *after;
    };
    const Case cases[] = {
        { Col::bpm, "", "0" },               // both 0: as text, the empty one first
        { Col::bpm, "95", "128" },           // as numbers, not as text
        { Col::bpm, "0", "95" },
        { Col::year, "1999", "2004" },
        { Col::kiloHertz, "N/A", "44.1" },
        { Col::kiloHertz, "44.1", "48.0" },
        { Col::quality, "VBR", "192 kbps" },  // no number sorts before any bitrate
        { Col::quality, "N/A", "VBR" },       // neither a number: as text
        { Col::quality, "128 kbps", "320 kbps" },
        { Col::quality, "16 Bit", "24 Bit" },
        { Col::time, "9:59", "10:05" },
        { Col::time, "59:00", "1:02:03" },    // an hour and more counts its hours
        { Col::time, "", "0:00" },
        { Col::artist, "abba", "Beatles" },   // text ignores case
        { Col::filename, "Track 10.mp3", "track 9.mp3" },
    };
    for (const auto& c : cases)
    {
        EXPECT_LT (SongRowComparator::compareCells (c.column, c.before, c.after), 0) << c.before << " | " << c.after;
        EXPECT_GT (SongRowComparator::compareCells (c.column, c.after, c.before), 0) << c.after << " | " << c.before;
    }
    EXPECT_EQ (SongRowComparator::compareCells (Col::artist, "ABBA", "abba"), 0);
}

TEST (SongRowOrder, theFirstVisibleColumnThatDiffersDecides)
{
    const SongRowComparator byArtistThenTime ({ Col::artist, Col::time });
    auto cells = [] (const juce::String& artist, const juce::String& time) {
        juce::StringArray row;
        for (int i = 0; i < Col::count; ++i)
            row.add ({});
        row.set (Col::artist - 1, artist);
        row.set (Col::time - 1, time);
        row.set (Col::filename - 1, "zzz"); // not a visible column here
        return row;
    };

    const auto a = byArtistThenTime.makeKey (cells ("Moby", "10:05"));
    const auto b = byArtistThenTime.makeKey (cells ("moby", "9:59"));
    const auto c = byArtistThenTime.makeKey (cells ("Air", "59:59"));
    EXPECT_GT (byArtistThenTime.compare (a, b), 0);
    EXPECT_LT (byArtistThenTime.compare (c, b), 0);
    EXPECT_EQ (byArtistThenTime.compare (a, a), 0);
}

TEST (SongSearchWords, splitAtWhiteSpaceKeepingQuotedStretches)
{
    struct Case
    {
        const char* text;
        juce::StringArray words;
    };
    const Case cases[] = {
        { "   ", {} },
        { "", {} },
        { "daft  punk", { "daft", "punk" } },
        { " daft \"get lucky\"\t128 ", { "daft", "get lucky", "128" } },
        { "\"\" house", { "house" } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (SongSearch::splitWords (c.text), c.words) << c.text;
}

TEST (SongSearchWords, everyWordMustOccurInTheEnabledFieldsJoined)
{
    ID3DataBaseEntry record;
    record.filename = "/music/House/Track01.mp3";
    record.song = "Get Lucky";
    record.artist = "Daft Punk";
    record.bpm = "116";
    record.genre = "Disco";
    record.label = "Columbia";
    record.album = "Random Access Memories";

    auto matches = [&record] (const juce::StringArray& words, std::initializer_list<int> disabled = {}) {
        SongSearch search;
        search.setWords (words);
        for (int field : disabled)
            search.setFieldEnabled (field, false);
        return search.matches (record);
    };

    EXPECT_TRUE (matches ({ "daft", "LUCKY", "116" }));
    EXPECT_TRUE (matches ({ "track01.mp3get" })) << "file name and song are joined without a separator";
    EXPECT_TRUE (matches ({ "/music/house" }));
    EXPECT_FALSE (matches ({ "daft", "techno" })) << "every word must occur";
    EXPECT_FALSE (matches ({ "/music/house" }, { SongSearch::folderPath }));
    EXPECT_FALSE (matches ({ "track01" }, { SongSearch::fileName }));
    EXPECT_FALSE (matches ({ "columbia" }, { SongSearch::label }));
    EXPECT_TRUE (matches ({ "disco", "columbia" }, { SongSearch::song, SongSearch::album }));

    record.artist = juce::String::fromUTF8 ("Mot\xc3\xb6rhead");
    EXPECT_TRUE (matches ({ juce::String::fromUTF8 ("MOT\xc3\x96RHEAD") }));
    EXPECT_EQ (SongSearch::fieldOfName ("FileName"), (int) SongSearch::fileName);
    EXPECT_EQ (SongSearch::fieldOfName ("year"), -1);
}
