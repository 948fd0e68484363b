#include "app/harness/ScopedEnvironment.h"

#include <cstdlib>

namespace zund::test
{
ScopedEnvironment::ScopedEnvironment (const std::vector<std::string>& entries)
{
    for (const auto& entry : entries)
    {
        const auto split = entry.find ('=');
        const auto name = entry.substr (0, split);
        const char* before = std::getenv (name.c_str());
        previous.emplace_back (name, before != nullptr ? std::optional<std::string> (before) : std::nullopt);
        setenv (name.c_str(), entry.substr (split + 1).c_str(), 1);
    }
}

ScopedEnvironment::~ScopedEnvironment()
{
    for (auto it = previous.rbegin(); it != previous.rend(); ++it)
    {
        if (it->second)
            setenv (it->first.c_str(), it->second->c_str(), 1);
        else
            unsetenv (it->first.c_str());
    }
}
}
