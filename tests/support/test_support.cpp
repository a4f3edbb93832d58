// Temporary folders, whole-file reads and writes, and the project's data files for tests.
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <zlib.h>

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path() /
             ("orvantella-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::map<std::string, std::string> filesBelow(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().string()] = readFileBytes(entry.path().string());
    return files;
}

void writeFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string gzipped(const std::string& bytes)
{
    z_stream stream{};
    // 15 + 16: a gzip header and trailer around the deflate stream.
    EXPECT_EQ(deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY),
              Z_OK);
    std::string out(deflateBound(&stream, bytes.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::filesystem::path projectDataFile(const std::string& relative)
{
    const std::filesystem::path path =
        std::filesystem::path(ORVANTELLA_SOURCE_DIR) / "data" / relative;
    if (!std::filesystem::is_regular_file(path))
        ADD_FAILURE() << "missing data file " << path.string();
    return path;
}

std::string testCaseName(const std::string& name)
{
    std::string safe = name;
    for (char& c : safe)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return safe;
}
