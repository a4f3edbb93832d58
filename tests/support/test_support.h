#pragma once
// Shared helpers of the test programs: temporary folders, file contents.

#include <filesystem>
#include <map>
#include <string>

// A fresh folder below the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);
// Every regular file below folder, by its path, with its bytes.
std::map<std::string, std::string> filesBelow(const std::string& folder);
// The bytes of a gzip file that holds these bytes.
std::string gzipped(const std::string& bytes);

// A file the project carries below data/ ("sources/newcomb_sun_terms.csv"). A missing file
// fails the calling test with its path.
std::filesystem::path projectDataFile(const std::string& relative);

// The gtest name of a table-driven case: its name with every character that
// is not a letter or a digit turned into "_".
std::string testCaseName(const std::string& name);
// For INSTANTIATE_TEST_SUITE_P over cases with a `name` member.
inline constexpr auto caseName = [](const auto& info) { return testCaseName(info.param.name); };
