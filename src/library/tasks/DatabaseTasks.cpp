#include "library/tasks/DatabaseTasks.h"

#include "library/tasks/CheckConsistencyTask.h"
#include "library/tasks/ID3DataBaseDirectoryScanTask.h"
#include "library/tasks/ID3DataBaseFileListScanTask.h"
#include "library/tasks/ID3DataBaseRemoveFilesForFolderTask.h"
#include "library/tasks/report/ConsistencyCheckReportComponent.h"

namespace zund
{
bool checkConsistency (ID3DataBase& database, const juce::StringArray& songFolders)
{
    database.setSongFolders (songFolders);

    CheckConsistencyTask task (database, songFolders);
    task.runModally();

    auto& check = task.getBody();
    const auto outcome = check.getOutcome();
    if (outcome == ConsistencyCheck::Outcome::quitRequested)
    {
        juce::JUCEApplicationBase::quit();
        return false;
    }

    auto& filesToScan = check.getFilesToScan();
    if (outcome == ConsistencyCheck::Outcome::finished
        && (database.getNumMissingEntries() > 0 || ! filesToScan.empty()))
    {
        ConsistencyReportModel model (database, filesToScan,
                                      [&database] (std::vector<juce::File>& files) { rescanFiles (database, files); });
        ConsistencyCheckReportComponent::show (model);
    }
    return true;
}

void scanFolder (ID3DataBase& database, const juce::File& folder)
{
    ID3DataBaseDirectoryScanTask (database, folder).runModally();
}

void removeFilesOfFolder (ID3DataBase& database, const juce::File& folder)
{
    ID3DataBaseRemoveFilesForFolderTask (database, folder).runModally();
}

void rescanFiles (ID3DataBase& database, std::vector<juce::File>& files)
{
    ID3DataBaseFileListScanTask (database, files).runModally();
}
}
