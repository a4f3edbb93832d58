#pragma once
// Text files as the tables read and write them: lines read the way a
// 1024-byte line buffer reads them, and files replaced only once fully written.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

class FileTransaction;

// Writes a file under a temporary name in the target's folder and renames
// it over the target on commit; until then, and on any failure, the target
// stays as it was. The temporary file is removed unless committed. Within a
// transaction, commit only flushes the file to disk and hands it to the
// transaction, which replaces all its files together. A symbolic link is
// written through to the file it points at; a target that exists and is not
// a regular file is refused.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path, FileTransaction* transaction = nullptr);
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
    FileTransaction* m_transaction;
    std::string m_tempPath;
    int m_fd = -1;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
    bool m_failedToReplace = false;
    int m_error = 0;
};

// Files replaced together. Each is written and flushed to disk under a
// temporary name; commit then writes a small record naming them (the moment
// the change is decided), renames each over its target and removes the
// record. A crash before the record landed leaves every target as it was; one
// after it is completed by completeInterruptedCommit at the next load.
class FileTransaction {
public:
    // The record is written into recordFolder (the database's folder).
    explicit FileTransaction(std::string recordFolder);
    // Removes the temporary files of a transaction that was not committed.
    ~FileTransaction();
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;

    // The temporary name of a target in this transaction.
    std::string temporaryPath(const std::string& target) const;
    // A file written under temporaryPath(target) by the caller, flushed to disk at commit.
    void stage(const std::string& target);
    // A file an AtomicFileWriter of this transaction has written and flushed.
    void adopt(const std::string& target);
    // False (error() telling why, the targets untouched unless the record
    // landed) when a staged file cannot be flushed or the record not written.
    [[nodiscard]] bool commit();
    int error() const { return m_error; }
    static constexpr const char* kRecordName = ".orvantella-commit";

private:
    struct Entry {
        std::string target;
        bool staged;
    };
    bool syncStaged();
    bool writeRecord();
    void replaceAll();

    std::string m_recordFolder;
    std::string m_suffix;
    std::vector<Entry> m_entries;
    bool m_committed = false;
    int m_error = 0;
};

// Finishes a transaction whose record is in the folder (a save killed
// between its first and last replacement): every file still under its
// temporary name replaces its target, then the record goes. True when there
// was one.
bool completeInterruptedCommit(const std::string& recordFolder);

// Replaces `to` with the bytes of `from`, all or nothing; false when either
// cannot be opened or the copy fails.
[[nodiscard]] bool copyFileAtomically(const std::string& from, const std::string& to,
                                      FileTransaction* transaction = nullptr);

// Removes the temporary files that writers of processes no longer running
// left in the folder (a save that was killed), and only those named exactly
// as a writer names them after a target that isOwnTarget accepts; those of
// live processes stay.
void removeStaleTemporaries(const std::string& folder,
                            const std::function<bool(std::string_view target)>& isOwnTarget);

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
