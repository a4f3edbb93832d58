// Source files through zlib, which reads a file that is not compressed as it is.
#include "table/source_file.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <zlib.h>

namespace {

constexpr unsigned kZlibBuffer = 1u << 18;
constexpr std::string_view kGzipEnding = ".gz";

} // namespace

SourceFile::~SourceFile()
{
    if (m_file)
        gzclose_r(m_file);
}

bool SourceFile::open(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return false;
    if (S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return false;
    }
    m_file = gzopen(path.c_str(), "rb");
    if (!m_file)
        return false;
    gzbuffer(m_file, kZlibBuffer);
    return true;
}

std::size_t SourceFile::read(char* buffer, std::size_t size)
{
    if (!m_file || failed())
        return 0;
    const int got =
        gzread(m_file, buffer, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
    int code = Z_OK;
    const char* why = gzerror(m_file, &code);
    // A truncated archive ends with Z_BUF_ERROR after the bytes it still held.
    if (got < 0 || (code != Z_OK && code != Z_STREAM_END)) {
        m_error = code == Z_ERRNO ? std::strerror(errno) : why;
        return 0;
    }
    return static_cast<std::size_t>(got);
}

std::string_view uncompressedName(std::string_view name)
{
    if (name.size() > kGzipEnding.size() && name.ends_with(kGzipEnding))
        name.remove_suffix(kGzipEnding.size());
    return name;
}

std::optional<std::string> unreadableSource(const std::string& path)
{
    SourceFile file;
    if (!file.open(path))
        return std::nullopt;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kZlibBuffer);
    while (file.read(buffer.get(), kZlibBuffer) > 0) {
    }
    if (file.failed())
        return file.error();
    return std::nullopt;
}
