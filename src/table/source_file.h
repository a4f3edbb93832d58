#pragma once
// Files the importers read: plain ones as they are, gzip-compressed ones as the bytes they hold.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct gzFile_s;

// "name could not be read: why", for a source that cannot be read whole (a truncated or
// corrupt archive, a read error).
inline constexpr const char* kUnreadableSourceFormat = "%s could not be read: %s";

class SourceFile {
public:
    SourceFile() = default;
    ~SourceFile();
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // False when the file cannot be opened or is a folder.
    [[nodiscard]] bool open(const std::string& path);
    // Up to size bytes into buffer; 0 at the end, and also once the file has failed: a truncated
    // or corrupt archive or a read error, which error() then tells.
    std::size_t read(char* buffer, std::size_t size);
    bool failed() const { return !m_error.empty(); }
    const std::string& error() const { return m_error; }

private:
    gzFile_s* m_file = nullptr;
    std::string m_error;
};

// The name of the file an archive holds: the name without a ".gz" ending.
std::string_view uncompressedName(std::string_view name);

// Why a source that opens cannot be read whole, after reading all of it; nothing when it can
// (or does not open: the caller's own open tells that).
std::optional<std::string> unreadableSource(const std::string& path);
