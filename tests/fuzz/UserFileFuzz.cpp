// The program's own settings and library files (ZUND_FUZZ_FILE_KIND: database,
// tree, mapping, colours, preferences), read as the program reads them: no crash,
// no hang, and whatever was read is written and read back the same.
#include "FuzzInputFile.h"
#include "common/xml/SafeXmlReader.h"
#include "library/database/ID3DataBase.h"
#include "library/tree/StoredHeaderLayout.h"
#include "library/tree/TreeViewFile.h"
#include "ui/colours/ZundColourSelector.h"
#include "ui/midi/MidiControlSurfaceManager.h"
#include "ui/preferences/PreferencesXml.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
using namespace zund;

#define ZUND_KIND_database 1
#define ZUND_KIND_tree 2
#define ZUND_KIND_mapping 3
#define ZUND_KIND_colours 4
#define ZUND_KIND_preferences 5
#define ZUND_JOIN(a, b) a##b
#define ZUND_KIND(k) ZUND_JOIN (ZUND_KIND_, k)

#if ZUND_KIND(ZUND_FUZZ_FILE_KIND) == ZUND_KIND_database
/** The database as written, after a load and a save of the file. */
juce::String loadAndSave (const juce::File& file, bool mustLoad)
{
    ID3DataBase database (file);
    fuzz::check (! mustLoad || database.getLoadProblem().isEmpty(), "the written database reads");
    database.markDirty();
    fuzz::check (database.save(), "a database that was read can be written");
    return database.createXml ("Zund2DataBase")->toString();
}

void fuzzFile (const juce::File& folder)
{
    // Text that is no valid Unicode (a lone surrogate) is made valid at the first
    // save; from then on a save and a load change nothing.
    const auto file = folder.getChildFile ("database.xml");
    loadAndSave (file, false);
    const auto first = loadAndSave (file, true);
    const auto second = loadAndSave (file, true);
    if (second != first)
        fprintf (stderr, "read:\n%s\nread back:\n%s\n", first.toRawUTF8(), second.toRawUTF8());
    fuzz::check (second == first, "and reads back the same");
}
#elif ZUND_KIND(ZUND_FUZZ_FILE_KIND) == ZUND_KIND_tree
void fuzzFile (const juce::File& folder)
{
    const auto file = folder.getChildFile ("TreeView.xml");
    juce::String warning;
    bool mayOverwrite = true;
    const auto state = TreeViewFile::read (file, warning, mayOverwrite);

    const HeaderWidthLimits limits { 30, 4000, 16000 };
    const auto layout = makeRestorableHeaderLayout (state.headerState, limits);
    if (layout.isNotEmpty())
        fuzz::check (makeRestorableHeaderLayout (layout, limits) == layout, "a restorable layout stays as it is");

    const auto written = folder.getChildFile ("written.xml");
    juce::String error;
    fuzz::check (state.write (written, error), "the state that was read can be written");
    const auto again = TreeViewFile::read (written, warning, mayOverwrite);
    fuzz::check (again.toXml()->toString() == state.toXml()->toString(), "and reads back the same");
}
#elif ZUND_KIND(ZUND_FUZZ_FILE_KIND) == ZUND_KIND_mapping
void fuzzFile (const juce::File& folder)
{
    const auto file = folder.getChildFile ("mapping.kms");
    MidiControlSurfaceManager mapping;
    if (! mapping.loadSettingsFrom (file))
        return;
    const auto written = folder.getChildFile ("written.kms");
    fuzz::check (mapping.saveSettingsTo (written), "a mapping that was read can be written");
    MidiControlSurfaceManager again;
    fuzz::check (again.loadSettingsFrom (written), "the written mapping reads");
    fuzz::check (again.toXml ("M")->toString() == mapping.toXml ("M")->toString(), "and reads back the same");
}
#elif ZUND_KIND(ZUND_FUZZ_FILE_KIND) == ZUND_KIND_colours
void fuzzFile (const juce::File& folder)
{
    // Made once and never freed: the framework's shut-down at exit must not meet them.
    static auto* gui = new juce::ScopedJuceInitialiser_GUI();
    static auto* selector = new ZundColourSelector();
    juce::ignoreUnused (gui);
    const auto file = folder.getChildFile ("scheme.kcs");
    if (! selector->loadColourScheme (file))
        return;
    const auto first = folder.getChildFile ("first.kcs"), second = folder.getChildFile ("second.kcs");
    fuzz::check (selector->saveColourScheme (first), "a scheme that was read can be written");
    fuzz::check (selector->loadColourScheme (first), "the written scheme reads");
    fuzz::check (selector->saveColourScheme (second), "and writes again");
    fuzz::check (first.loadFileAsString() == second.loadFileAsString(), "the same");
}
#elif ZUND_KIND(ZUND_FUZZ_FILE_KIND) == ZUND_KIND_preferences
void fuzzFile (const juce::File& folder)
{
    const auto result = readXmlFileSafely (folder.getChildFile ("preferences.xml"), { 1 << 20, 8 });
    if (! result.parsed())
        return;
    // A value the program cannot use is left out of the model (the running program's
    // own takes its place), so the file settles after one write.
    auto written = preferencesToXml (preferencesFromXml (*result.root), nullptr)->toString();
    for (int round = 0; round < 2; ++round)
    {
        const auto reread = parseXmlSafely (written.toRawUTF8(), written.getNumBytesAsUTF8(), { 1 << 20, 8 });
        fuzz::check (reread.parsed(), "the written preferences read");
        const auto again = preferencesToXml (preferencesFromXml (*reread.root), nullptr)->toString();
        fuzz::check (round == 0 || again == written, "and read back the same");
        written = again;
    }
}
#else
#error "ZUND_FUZZ_FILE_KIND must name a file kind"
#endif

const char* fileName()
{
    switch (ZUND_KIND (ZUND_FUZZ_FILE_KIND))
    {
        case ZUND_KIND_database: return "database.xml";
        case ZUND_KIND_tree: return "TreeView.xml";
        case ZUND_KIND_mapping: return "mapping.kms";
        case ZUND_KIND_colours: return "scheme.kcs";
        default: return "preferences.xml";
    }
}
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto folder = zund::fuzz::emptyWorkFolder();
    zund::fuzz::writeInputAs (folder.getChildFile (fileName()), data, size);
    fuzzFile (folder);
    return 0;
}
