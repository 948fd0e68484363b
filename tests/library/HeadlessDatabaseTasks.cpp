// Without a display the database tasks run in place of their progress windows.
#include "library/tasks/DatabaseTaskWindow.h"

namespace
{
const bool tasksWithoutWindows = [] {
    zund::DatabaseTaskWindow::setWindowsShown (false);
    return true;
}();
}
