// A save during the set that fails is told to the user once, with its reason,
// and tried again every so often; that file's next failure is told again only
// after it has been written in between. (The saver's clock is the test's.)

#include "ScopedFileSizeLimit.h"

#include "library/database/DatabaseSaveSource.h"
#include "library/database/ID3DataBase.h"
#include "library/database/LibraryAutoSaver.h"
#include "library/tree/TreeFileSaveSource.h"
#include "library/tree/ZundFileTreeComponent.h"
#include "support/TempFolder.h"
#include "support/UiEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>

using namespace zund;

namespace
{
constexpr int quietMs = 100, longestMs = 1000;

/** A file whose writes fail while the disk is full. */
struct FillingFile
{
    explicit FillingFile (const juce::String& fileName) : name (fileName) {}

    juce::String name;
    juce::uint64 content = 0; // message thread
    std::atomic<bool> full { false };
    std::atomic<int> writes { 0 };

    LibraryAutoSaver::Source source()
    {
        LibraryAutoSaver::Source s;
        s.fingerprint = [this] { return content; };
        s.prepare = [this] {
            return LibraryAutoSaver::Write ([this] (juce::String& reason) {
                ++writes;
                if (! full.load())
                    return true;
                reason = name + " could not be saved (No space left on device).";
                return false;
            });
        };
        return s;
    }
};

/** The saver on the test's clock, with what it told the user. */
struct SaverRig
{
    explicit SaverRig (std::vector<LibraryAutoSaver::Source> sources)
        : saver (std::move (sources), { quietMs, longestMs, 5, [this] { return clock.load(); } })
    {
        saver.setFailureHandler ([this] (const juce::String& reasons) { told.add (reasons); });
    }

    /** The file changes, and the saver sees it at the present time. */
    void change (FillingFile& file)
    {
        ++file.content;
        test::pumpMessages (30);
    }

    /** Time passes; the writes due by then end and the saver sees how they went. */
    void after (int milliseconds)
    {
        clock += milliseconds;
        const int before = saver.getNumSavesDone();
        test::pumpMessagesUntil ([&] { return saver.getNumSavesDone() > before; }, 300);
        test::pumpMessages (40);
    }

    std::atomic<juce::int64> clock { 0 };
    juce::StringArray told;
    LibraryAutoSaver saver;
};
}

TEST (LibraryAutoSaverFailures, AFailureIsToldOnceRetriedAndToldAgainOnlyAfterAWriteSucceeded)
{
    FillingFile file ("database.xml");
    SaverRig rig ({ file.source() });
    file.full = true;

    rig.change (file);
    rig.after (quietMs + 50);
    ASSERT_EQ (file.writes.load(), 1);
    ASSERT_EQ (rig.told.size(), 1) << "the failure is told";
    EXPECT_TRUE (rig.told[0].contains ("database.xml could not be saved (No space left on device).")) << rig.told[0];

    rig.change (file);
    rig.after (quietMs + 50);
    EXPECT_EQ (file.writes.load(), 1) << "not tried again at once";

    rig.after (longestMs);
    EXPECT_EQ (file.writes.load(), 2) << "tried again a while later";
    EXPECT_EQ (rig.told.size(), 1) << "the same trouble is not told twice";
    rig.after (longestMs);
    EXPECT_EQ (file.writes.load(), 3) << "and again";
    EXPECT_EQ (rig.told.size(), 1);

    file.full = false; // space was freed
    rig.after (longestMs);
    EXPECT_EQ (file.writes.load(), 4) << "the retries go on until it is written";
    EXPECT_EQ (rig.told.size(), 1) << "a success tells nothing";

    file.full = true;
    rig.change (file);
    rig.after (quietMs + 50);
    EXPECT_EQ (file.writes.load(), 5);
    EXPECT_EQ (rig.told.size(), 2) << "a new failure after a success is told again";
}

TEST (LibraryAutoSaverFailures, FilesFailingAtOneLookAreToldInOneMessageAndEachOnItsOwnLater)
{
    FillingFile database ("database.xml"), tree ("TreeView.xml");
    SaverRig rig ({ database.source(), tree.source() });
    database.full = tree.full = true;

    rig.change (database);
    rig.change (tree);
    rig.after (quietMs + 50);
    test::pumpMessagesUntil ([&] { return database.writes.load() + tree.writes.load() == 2; }, 300);
    test::pumpMessages (40);
    ASSERT_EQ (rig.told.size(), 1) << rig.told.joinIntoString ("\n--\n");
    EXPECT_TRUE (rig.told[0].contains ("database.xml could not")) << rig.told[0];
    EXPECT_TRUE (rig.told[0].contains ("TreeView.xml could not")) << rig.told[0];

    // The database is written; the tree still fails: only the database's next failure is news.
    database.full = false;
    rig.after (longestMs);
    test::pumpMessagesUntil ([&] { return database.writes.load() + tree.writes.load() == 4; }, 300);
    test::pumpMessages (40);
    database.full = true;
    rig.change (database);
    rig.after (quietMs + 50);
    ASSERT_EQ (rig.told.size(), 2);
    EXPECT_TRUE (rig.told[1].contains ("database.xml")) << rig.told[1];
    EXPECT_FALSE (rig.told[1].contains ("TreeView.xml")) << rig.told[1];
}

// What the user reads names the file, its folder and the system's reason.
TEST (LibraryAutoSaverFailures, TheReasonNamesTheFileWhereItIsAndWhyItFailed)
{
    test::TempFolder temp;
    ID3DataBase database (temp.file ("database.xml"));
    auto record = std::make_unique<ID3DataBaseEntry>();
    record->filename = "/m/a.mp3";
    record->setValid();
    database.insertEntry (std::move (record));
    ZundFileTreeComponent tree (temp.file ("TreeView.xml"), nullptr, nullptr);

    struct Case
    {
        const char* file;
        LibraryAutoSaver::Source source;
    };
    for (auto& c : { Case { "database.xml", makeDatabaseSaveSource (database) },
                     Case { "TreeView.xml", makeTreeFileSaveSource (tree) } })
    {
        auto write = c.source.prepare();
        ASSERT_NE (write, nullptr) << c.file;
        juce::String reason;
        {
            test::ScopedFileSizeLimit limit (16);
            EXPECT_FALSE (write (reason)) << c.file;
        }
        EXPECT_TRUE (reason.contains (temp.file (c.file).getFullPathName())) << reason;
        EXPECT_TRUE (reason.contains (std::strerror (EFBIG))) << reason;
    }
}
