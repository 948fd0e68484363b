#include "app/harness/ThreadTimes.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <unistd.h>

namespace zund::test
{
namespace
{
// A stat line: the name in parentheses (which may itself hold spaces or
// parentheses), then fields 3 onwards: 14 and 15 are the user and system
// time in clock ticks, 41 the scheduling policy (0 for ordinary threads).
bool readStat (const std::string& path, std::string& name, double& seconds, bool& realtime)
{
    std::ifstream in (path);
    std::string line;
    if (! std::getline (in, line))
        return false;
    const auto open = line.find ('('), close = line.rfind (')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return false;
    name = line.substr (open + 1, close - open - 1);
    std::istringstream rest (line.substr (close + 2));
    std::vector<std::string> fields { "", "", "" }; // pid and name, to count from 1
    for (std::string field; rest >> field;)
        fields.push_back (field);
    if (fields.size() <= 41)
        return false;
    seconds = (std::stod (fields[14]) + std::stod (fields[15])) / (double) sysconf (_SC_CLK_TCK);
    realtime = std::stoi (fields[41]) != 0;
    return true;
}

// Voluntary and involuntary context switches, from the status file.
long readSwitches (const std::string& path)
{
    std::ifstream in (path);
    long switches = 0;
    for (std::string line; std::getline (in, line);)
        if (line.find ("ctxt_switches:") != std::string::npos)
            switches += std::stol (line.substr (line.find (':') + 1));
    return switches;
}
}

ThreadTimes ThreadTimes::of (int pid)
{
    ThreadTimes times;
    const auto folder = "/proc/" + std::to_string (pid) + "/task/";
    DIR* tasks = pid > 0 ? opendir (folder.c_str()) : nullptr;
    if (tasks == nullptr)
        return times;
    while (const auto* entry = readdir (tasks))
    {
        const int tid = std::atoi (entry->d_name);
        Thread thread;
        bool realtime = false;
        if (tid <= 0 || ! readStat (folder + entry->d_name + "/stat", thread.name, thread.seconds, realtime))
            continue;
        if (tid == pid)
            thread.name += " (main)";
        else if (realtime)
            thread.name += " (realtime)";
        thread.switches = readSwitches (folder + entry->d_name + "/status");
        times.threads[tid] = thread;
    }
    closedir (tasks);
    return times;
}

double ThreadTimes::total() const
{
    double sum = 0.0;
    for (const auto& entry : threads)
        sum += entry.second.seconds;
    return sum;
}

std::vector<ThreadTimes::Use> ThreadTimes::usedSince (const ThreadTimes& earlier) const
{
    std::map<std::string, Use> byName;
    for (const auto& [tid, thread] : threads)
    {
        const auto before = earlier.threads.find (tid);
        const Thread start = before != earlier.threads.end() ? before->second : Thread {};
        auto& use = byName[thread.name];
        use.name = thread.name;
        ++use.threads;
        use.seconds += thread.seconds - start.seconds;
        use.switches += thread.switches - start.switches;
    }
    std::vector<Use> used;
    for (auto& entry : byName)
        used.push_back (entry.second);
    std::stable_sort (used.begin(), used.end(), [] (const Use& a, const Use& b) { return a.seconds > b.seconds; });
    return used;
}

std::string ThreadTimes::describe (const std::vector<Use>& used, double seconds)
{
    std::ostringstream text;
    text << std::fixed;
    const double span = seconds > 0.0 ? seconds : 1.0;
    for (const auto& use : used)
        text << (&use == &used.front() ? "" : "; ") << use.name << (use.threads > 1 ? " x" + std::to_string (use.threads) : "")
             << " " << std::setprecision (4) << use.seconds / span << ", " << std::setprecision (0)
             << (double) use.switches / span << " switches/s";
    return text.str();
}
}
