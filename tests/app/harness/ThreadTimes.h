#pragma once

#include <map>
#include <string>
#include <vector>

namespace zund::test
{
/** The processor time (user and system, in seconds) and the number of times
    it was switched in that each thread of a process has had so far, read
    from /proc. Two snapshots tell where a stretch of time went, thread by
    thread: figures for a report, not for assertions.

        const auto before = ThreadTimes::of (pid);
        ...
        std::cout << ThreadTimes::describe (ThreadTimes::of (pid).usedSince (before), seconds);  */
class ThreadTimes
{
public:
    /** Empty when the process does not exist (any more). */
    static ThreadTimes of (int pid);

    /** Processor time of all threads together. */
    double total() const;

    /** What the threads of one name used. */
    struct Use
    {
        std::string name;
        int threads = 0;
        double seconds = 0.0;
        long switches = 0; // times a thread of the name was switched out (to wait or to yield)
    };

    /** What each thread name used since `earlier`, threads of one name
        summed, largest time first. The kernel keeps a name only when it fits
        in 15 characters (other threads carry the process's name); the main
        thread is marked "(main)", threads at a realtime priority (the audio
        thread) "(realtime)". A thread born meanwhile counts from zero. */
    std::vector<Use> usedSince (const ThreadTimes& earlier) const;

    /** "name 0.0310 of a core, 187 switches/s; ...": each name's share of
        `seconds` of wall time. */
    static std::string describe (const std::vector<Use>& used, double seconds);

private:
    struct Thread
    {
        std::string name;
        double seconds = 0.0;
        long switches = 0;
    };
    std::map<int, Thread> threads; // by thread id
};
}
