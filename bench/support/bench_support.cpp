// Scratch folders and peak memory of the benchmarks.
#include "support/bench_support.h"

#include <sys/resource.h>
#include <unistd.h>

ScratchFolder::ScratchFolder(const std::string& name)
    : m_path(std::filesystem::temp_directory_path() /
             ("orvantella-bench-" + name + "-" + std::to_string(::getpid())))
{
    std::filesystem::create_directories(m_path);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
