#pragma once
// Text files as the tables read and write them: lines read the way a
// 1024-byte line buffer reads them, and files replaced only once fully written.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "table/source_file.h"

// Reads lines ended by LF or CR LF. A read takes at most maxRead characters
// (1023 by default, as a 1024-byte line buffer), counting the line end as
// one, so a longer line comes in pieces; a line ends at its first NUL byte.
// The line end and a CR before it (or before the end of the file) are not
// part of the line.
class TextLineReader {
public:
    static constexpr std::size_t kMaxRead = 1023;

    explicit TextLineReader(std::size_t maxRead = kMaxRead) : m_maxRead(maxRead) {}
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // False (errno telling why) when the file cannot be opened or is a folder.
    bool open(const std::string& path);
    // The same for a file to import, which may be gzip-compressed; a truncated or corrupt
    // archive ends the reading as failed.
    bool openSource(const std::string& path);
    // The next line (valid until the next call); false at the end of the file or on a read error.
    bool next(std::string_view& line);
    bool failed() const { return m_failed; }

private:
    void fill();
    // A read needs maxRead characters plus the CR LF pair that may end them.
    std::size_t lookAhead() const { return m_maxRead + 2; }

    std::size_t m_maxRead;
    int m_fd = -1;
    std::unique_ptr<SourceFile> m_source;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity = 0;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_atEof = false;
    bool m_failed = false;
};

// Writes a file under a temporary name in the target's folder and renames
// it over the target on commit; until then, and on any failure, the target
// stays as it was. The temporary file is removed unless committed.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file; false when it cannot be created.
    [[nodiscard]] bool open();
    // Room for at least size bytes (at most 128 KB); write into it, then call advance with the end.
    char* space(std::size_t size);
    void advance(char* end) { m_used = static_cast<std::size_t>(end - m_buffer.get()); }
    void append(std::string_view bytes);
    // Writes what is buffered, flushes to disk, closes and renames; false
    // when any step failed (the target is then untouched).
    [[nodiscard]] bool commit();
    // The errno of the first step that failed, 0 when none did.
    int error() const { return m_error; }
    // True when the bytes were written but could not take the target's
    // place (a folder of that name, a folder that refuses the rename).
    bool failedToReplace() const { return m_failedToReplace; }

private:
    bool flush();
    void discard();
    bool fail();

    std::string m_path;
    std::string m_tempPath;
    int m_fd = -1;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
    bool m_failedToReplace = false;
    int m_error = 0;
};

// Replaces `to` with the bytes of `from`, all or nothing; false when either
// cannot be opened or the copy fails.
[[nodiscard]] bool copyFileAtomically(const std::string& from, const std::string& to);

// Removes the temporary files that writers of processes no longer running
// left in the folder (a save that was killed); those of live ones stay.
void removeStaleTemporaries(const std::string& folder);

// Test seam: while one lives, every step of every AtomicFileWriter (creating
// the temporary file, each write, the flush to disk, the rename) is counted,
// and the step numbered failAt (from 0) fails as on a full disk.
class WriteFailureInjection {
public:
    explicit WriteFailureInjection(int failAt);
    ~WriteFailureInjection();
    WriteFailureInjection(const WriteFailureInjection&) = delete;
    WriteFailureInjection& operator=(const WriteFailureInjection&) = delete;
    // Steps counted so far; the failure was injected when this exceeds failAt.
    int steps() const { return m_steps; }
    // Counts a step; true when it is the one to fail.
    bool failsNext() { return m_steps++ == m_failAt; }

private:
    int m_failAt;
    int m_steps = 0;
};
