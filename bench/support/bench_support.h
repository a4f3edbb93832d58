#pragma once
// What every benchmark program needs: a scratch folder and the peak memory.

#include <filesystem>
#include <string>

// A folder below the temporary folder, removed with the object.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    std::string str() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

// The process's peak resident memory so far, in megabytes.
double peakMegabytes();

// User and system time of the whole process so far (every thread), seconds.
double processCpuSeconds();
