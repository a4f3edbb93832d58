// The GMN-like MDB beside the demo database, and child processes measured by wait4.
#include "support/gmn_like_mdb.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/gmn_like_catalogue.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kFirstDsid = 2000;
constexpr const char* kMarker = "gmn-like-shape.txt";

std::string fileName(int file) { return "O_GL_" + std::to_string(file) + ".csv"; }

void append(const fs::path& path, const std::string& lines)
{
    std::ofstream(path, std::ios::binary | std::ios::app) << lines;
}

} // namespace

void makeGmnLikeMdb(const std::string& folder, int files, int rowsPerFile, std::uint32_t seed)
{
    std::ostringstream shape;
    shape << files << ' ' << rowsPerFile << ' ' << seed << " with the IAU MDC list, IDs from 0";
    const fs::path root(folder);
    std::ifstream marker(root / kMarker);
    std::string existing;
    std::getline(marker, existing);
    if (existing == shape.str())
        return;
    fs::remove_all(root);
    fs::copy(fs::path(ORVANTELLA_SOURCE_DIR) / "data/demo/MDB", root, fs::copy_options::recursive);
    GmnLikeGenerator generator(readGmnMeteors(ORVANTELLA_SOURCE_DIR "/data/sources"), seed);
    std::string sources, orbitFiles;
    for (int file = 0; file < files; ++file) {
        const std::uint32_t dsid = kFirstDsid + static_cast<std::uint32_t>(file);
        writeGmnLikeOrbitFile((root / "orbits" / fileName(file)).string(), generator, rowsPerFile,
                              dsid);
        sources += "1," + std::to_string(dsid) + ",1,_GL" + std::to_string(file) + "," +
                   std::to_string(dsid * 100000u + static_cast<std::uint32_t>(rowsPerFile)) +
                   ",_GMN-like catalogue\r\n";
        orbitFiles += "901,1,_" + fileName(file) + ",_GMN-like\r\n";
    }
    append(root / "UDSID.csv", sources);
    append(root / "UOFile.csv", orbitFiles);
    runChild(ORVANTELLA_BATCH_PATH, {"list-import", root.string(),
                                     ORVANTELLA_SOURCE_DIR "/data/sources/iau_mdc_showers.psv",
                                     "--dsid", "IAU", "--status", "all"});
    std::ofstream(root / kMarker) << shape.str() << '\n';
}

std::vector<std::string> gmnLikeOrbitFiles(const std::string& folder)
{
    std::vector<std::string> paths;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(folder) / "orbits"))
        paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

ChildRun runChild(const std::string& program, const std::vector<std::string>& args, bool quiet,
                  const std::string& outputFile)
{
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1,
                                     outputFile.empty() ? "/dev/null" : outputFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return run;
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
