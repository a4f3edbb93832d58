#pragma once
// A GMN-like MDB for the end-to-end benchmarks, and the batch tool run as a child process.

#include <cstdint>
#include <string>
#include <vector>

// The demo database copied into folder, with the whole IAU MDC list imported (list
// "L_IAU_IAU_all", 950 streams), plus `files` GMN-like orbit files of rowsPerFile rows,
// each of its own data source (codes "GL0", "GL1", ...), registered and in use. Kept when
// folder already holds exactly that (the marker file names the shape), as writing ten million
// orbits takes a while.
void makeGmnLikeMdb(const std::string& folder, int files, int rowsPerFile, std::uint32_t seed);

// The orbit files of such an MDB.
std::vector<std::string> gmnLikeOrbitFiles(const std::string& folder);

struct ChildRun {
    int status = -1; // exit status, -1 when it did not exit normally
    double wallSeconds = 0;
    double cpuSeconds = 0; // user + system of the child
    double peakMegabytes = 0;
};

// Runs program with args, its standard output to outputFile (/dev/null when empty; standard
// error kept unless quiet), and waits for it.
ChildRun runChild(const std::string& program, const std::vector<std::string>& args,
                  bool quiet = true, const std::string& outputFile = {});
