#include "library/tasks/DatabaseTasks.h"

#include "library/tasks/CheckConsistencyTask.h"
#include "library/tasks/ID3DataBaseDirectoryScanTask.h"
#include "library/tasks/ID3DataBaseFileListScanTask.h"
#include "library/tasks/ID3DataBaseRemoveFilesForFolderTask.h"
#include "library/tasks/report/ConsistencyCheckReportComponent.h"

namespace zund
{
namespace
{
struct SilentProgress : TaskProgress
{
    void showStatus (const juce::String&) override {}
    void showProgress (double) override {}
    bool isCancelled() const override { return false; }
};

using Ending = DatabaseTaskWindow::Ending;

/** Runs a task body behind its window, or in place when no windows are shown,
    then hands the body and how it ended to `afterwards`. A body that was given
    up may still be running: only what it keeps in atomics may be read then. */
template <typename Window, typename Body, typename... Arguments>
void runTask (const std::function<void (Body&, Ending)>& afterwards, Arguments&... arguments)
{
    if (DatabaseTaskWindow::areWindowsShown())
    {
        Window window (arguments...);
        const auto ending = window.runModally();
        afterwards (window.getBody(), ending);
        return;
    }
    Body body (arguments...);
    SilentProgress silent;
    body.run (silent);
    afterwards (body, Ending::finished);
}

template <typename Window, typename Body, typename... Arguments>
void runTask (Arguments&... arguments)
{
    runTask<Window, Body> (std::function<void (Body&, Ending)> ([] (Body&, Ending) {}), arguments...);
}
}

bool checkConsistency (ID3DataBase& database, const juce::StringArray& songFolders)
{
    database.setSongFolders (songFolders);

    bool quitRequested = false;
    runTask<CheckConsistencyTask, ConsistencyCheck> (
        std::function<void (ConsistencyCheck&, Ending)> ([&] (ConsistencyCheck& check, Ending ending) {
            if (ending == Ending::givenUp)
            {
                // Given up while migrating: what moved so far must not be saved
                // (the rest of the cue points would never move), as after a
                // cancel there. Later, it counts as a cancel: no report.
                if (check.isMigrating())
                {
                    database.load();
                    quitRequested = true;
                }
                return;
            }

            const auto outcome = check.getOutcome();
            quitRequested = outcome == ConsistencyCheck::Outcome::quitRequested;

            auto& filesToScan = check.getFilesToScan();
            if (outcome == ConsistencyCheck::Outcome::finished && DatabaseTaskWindow::areWindowsShown()
                && (database.getNumMissingEntries() > 0 || ! filesToScan.empty() || ! check.getSkippedNames().isEmpty()))
            {
                ConsistencyReportModel model (database, filesToScan, [&database] (std::vector<juce::File>& files) {
                    rescanFiles (database, files);
                });
                model.setSkippedNames (check.getSkippedNames());
                ConsistencyCheckReportComponent::show (model);
            }
        }),
        database, songFolders);

    if (quitRequested)
    {
        juce::JUCEApplicationBase::quit();
        return false;
    }
    return true;
}

void scanFolder (ID3DataBase& database, const juce::File& folder)
{
    runTask<ID3DataBaseDirectoryScanTask, FolderScan> (database, folder);
}

void removeFilesOfFolder (ID3DataBase& database, const juce::File& folder)
{
    runTask<ID3DataBaseRemoveFilesForFolderTask, FolderFileRemoval> (database, folder);
}

void rescanFiles (ID3DataBase& database, std::vector<juce::File>& files)
{
    runTask<ID3DataBaseFileListScanTask, FileListScan> (database, files);
}
}
