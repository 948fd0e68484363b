#include "app/harness/FreshProcess.h"

#include "app/harness/SpawnedProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zund::test
{
namespace
{
constexpr const char* freshVariable = "ZUND_FRESH_PROCESS_FOR";
}

bool inFreshProcess()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string (info->test_suite_name()) + "." + info->name();
    if (const char* freshFor = std::getenv (freshVariable); freshFor != nullptr && name == freshFor)
        return true;

    TempFolder temp;
    const auto output = temp.file ("output.log");
    // This very program, even when a rebuild has replaced its file meanwhile.
    SpawnedProcess fresh ({ "/proc/self/exe", "--gtest_filter=" + name },
                          { std::string (freshVariable) + "=" + name }, output.getFullPathName().toStdString());
    const auto code = fresh.waitForExit (std::chrono::minutes (10));
    if (code != 0)
        ADD_FAILURE() << name << " in a fresh process of its own: "
                      << (code.has_value() ? "ended with code " + std::to_string (*code) : std::string ("did not end"))
                      << "\n" << output.loadFileAsString();
    return false;
}
}
