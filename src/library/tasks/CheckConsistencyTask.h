#pragma once

#include "library/tasks/ConsistencyCheck.h"
#include "library/tasks/DatabaseTaskWindow.h"

namespace zund
{
/** The start-up consistency check behind its progress window. */
class CheckConsistencyTask : public DatabaseTaskWindow
{
public:
    CheckConsistencyTask (ID3DataBase& database, const juce::StringArray& songFolders);

    ConsistencyCheck& getCheck() noexcept { return check; }

    /** What the check came to; `cancelled` until it has run. */
    ConsistencyCheck::Outcome getOutcome() const noexcept { return outcome; }

private:
    void runTask (TaskProgress& progress) override;

    ConsistencyCheck check;
    ConsistencyCheck::Outcome outcome = ConsistencyCheck::Outcome::cancelled;
};
}
