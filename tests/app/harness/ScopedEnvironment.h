#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zund::test
{
/** Sets "NAME=value" entries (a JACK server's environment, say) in this
    process's environment while it lives, then puts back what was there. */
class ScopedEnvironment
{
public:
    explicit ScopedEnvironment (const std::vector<std::string>& entries);
    ~ScopedEnvironment();

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> previous; // name, value before

    ScopedEnvironment (const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator= (const ScopedEnvironment&) = delete;
};
}
