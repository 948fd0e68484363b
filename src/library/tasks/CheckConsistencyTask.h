#pragma once

#include "library/tasks/ConsistencyCheck.h"
#include "library/tasks/TaskWindowFor.h"

namespace zund
{
/** The start-up consistency check behind its progress window. */
class CheckConsistencyTask : public TaskWindowFor<ConsistencyCheck>
{
public:
    CheckConsistencyTask (ID3DataBase& database, const juce::StringArray& songFolders)
        : TaskWindowFor ("Checking database consistency...", database, songFolders)
    {
    }
};
}
