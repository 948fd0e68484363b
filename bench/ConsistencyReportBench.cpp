#include "GeneratedLibrary.h"

#include "library/tasks/report/ConsistencyCheckReportComponent.h"
#include "library/tasks/report/ConsistencyReportModel.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>

// The report after a first start on a large collection: every file is new.
// Goal: 100,000 new files listed under 0.3 s; per-file cost at 500,000 under
// 1.5 times that at 100,000.

using namespace zund;

namespace
{
std::vector<juce::File> newFiles (int count)
{
    std::vector<juce::File> files;
    files.reserve ((size_t) count);
    for (int i = 0; i < count; ++i)
        files.emplace_back (bench::generatedSongPath (i));
    return files;
}

// The text of the "Files needed to (re)scan" list.
void scanListText (benchmark::State& state)
{
    test::TempFolder temp;
    ID3DataBase database (temp.file ("database.xml"));
    auto files = newFiles ((int) state.range (0));
    ConsistencyReportModel model (database, files, nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize (model.getFilesToScanText().length());
}
BENCHMARK (scanListText)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond);

// The report made and shown with that list.
void reportWithTheScanList (benchmark::State& state)
{
    test::TempFolder temp;
    ID3DataBase database (temp.file ("database.xml"));
    auto files = newFiles ((int) state.range (0));
    ConsistencyReportModel model (database, files, nullptr);
    for (auto _ : state)
    {
        ConsistencyCheckReportComponent report (model);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1); // the lists lay out what shows
        auto image = report.createComponentSnapshot (report.getLocalBounds());
        benchmark::DoNotOptimize (image.getWidth());
    }
}
BENCHMARK (reportWithTheScanList)->Arg (100000)->Arg (500000)->Unit (benchmark::kMillisecond)->Iterations (1);
}

