#include "GeneratedLibrary.h"

#include "library/tree/TreeViewFile.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>

// "TreeView.xml" with large cases. Goals: a 50,000-song case saved and loaded
// under 0.5 s each; per-song cost at 500,000 under 1.5 times that at 100,000;
// an element with a million attributes read in linear time.

using namespace zund;

namespace
{
TreeViewFile stateWithACaseOf (int songs)
{
    TreeViewFile state;
    state.songFolders = { { "Music", "/home/dj/Music" } };
    TreeViewFile::Case big { "Everything", {} };
    big.files.ensureStorageAllocated (songs);
    for (int i = 0; i < songs; ++i)
        big.files.add (bench::generatedSongPath (i));
    state.cases.push_back (std::move (big));
    return state;
}

void saveACase (benchmark::State& state)
{
    test::TempFolder temp;
    const auto tree = stateWithACaseOf ((int) state.range (0));
    for (auto _ : state)
    {
        juce::String error;
        if (! tree.write (temp.file ("TreeView.xml"), error))
            state.SkipWithError (error.toRawUTF8());
    }
}
BENCHMARK (saveACase)->Arg (50000)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond);

void loadACase (benchmark::State& state)
{
    test::TempFolder temp;
    const int songs = (int) state.range (0);
    const auto file = temp.file ("TreeView.xml");
    juce::String error;
    stateWithACaseOf (songs).write (file, error);
    for (auto _ : state)
    {
        juce::String warning;
        bool mayOverwrite = false;
        const auto back = TreeViewFile::read (file, warning, mayOverwrite);
        if (back.cases.size() != 1 || back.cases[0].files.size() != songs)
            state.SkipWithError ("the case did not come back whole");
    }
}
BENCHMARK (loadACase)->Arg (50000)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond);

// A file made to hurt: one element with this many attributes, each of its own name.
void loadAnElementWithManyAttributes (benchmark::State& state)
{
    test::TempFolder temp;
    const int count = (int) state.range (0);
    juce::MemoryOutputStream text;
    text << "<TreeView lastWidth=\"200\"><cases><Case0 name=\"x\"><files";
    for (int i = 0; i < count; ++i)
        text << " a" << juce::String::toHexString (i * 2654435761u) << i << "=\"/m/" << i << ".mp3\"";
    text << "/></Case0></cases></TreeView>";
    const auto file = temp.file ("TreeView.xml");
    file.replaceWithData (text.getData(), text.getDataSize());

    for (auto _ : state)
    {
        juce::String warning;
        bool mayOverwrite = false;
        const auto back = TreeViewFile::read (file, warning, mayOverwrite);
        state.counters["files"] = back.cases.empty() ? 0.0 : (double) back.cases[0].files.size();
    }
}
BENCHMARK (loadAnElementWithManyAttributes)->Arg (250000)->Arg (1000000)->Unit (benchmark::kMillisecond)->Iterations (1);
}
