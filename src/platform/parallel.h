#pragma once
// Splitting independent per-row work between the machine's cores.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <thread>
#include <vector>

// Runs work(part, parts) for part 0 ... parts - 1, each on its own thread
// (part 0 on the caller's); one part when there are fewer items than
// minItemsPerThread, since starting threads costs more than small work.
template <typename Work> void onAllCores(int items, int minItemsPerThread, Work work)
{
    const int parts = items < minItemsPerThread
                          ? 1
                          : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> workers;
    for (int part = 1; part < parts; ++part)
        workers.emplace_back(work, part, parts);
    work(0, parts);
    for (std::thread& worker : workers)
        worker.join();
}

// The rows [first, last) of part `part` of `parts` contiguous ranges of `items` rows.
struct PartRange {
    int first;
    int last;
};
inline PartRange partRange(int items, int part, int parts)
{
    const long long size = items;
    return {static_cast<int>(size * part / parts), static_cast<int>(size * (part + 1) / parts)};
}

// Lets the calling thread run after the process's others when they want the cores: for
// background work that others wait for only at the end.
inline void lowerThisThreadsPriority()
{
    constexpr int kBackgroundNice = 10;
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kBackgroundNice);
}
