// Buffered line reading and all-or-nothing file replacement over POSIX files.
#include "table/text_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kReadBufferSize = std::size_t{1} << 20;
constexpr std::size_t kWriteBufferSize = std::size_t{1} << 17;

constexpr const char* kTemporaryMark = ".saving-";

WriteFailureInjection* injection = nullptr;

// A writer's step that the test seam makes fail, as a full disk would.
bool injectedFailure()
{
    if (!injection || !injection->failsNext())
        return false;
    errno = ENOSPC;
    return true;
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        if (injectedFailure())
            return false;
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = ENOSPC;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::atomic<unsigned> temporarySerial{0};

std::string temporarySuffix()
{
    return kTemporaryMark + std::to_string(::getpid()) + "-" + std::to_string(temporarySerial++);
}

// The file a symbolic link points at, so that a write replaces that file and keeps the link.
std::string resolvedTarget(const std::string& path)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string resolved = real;
    std::free(real);
    return resolved;
}

// A target that exists and is no regular file (a folder, a FIFO, a device) is never replaced.
bool isReplaceable(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode))
        return true;
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return false;
}

bool syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, std::max<std::size_t>(slash, 1));
}

bool syncFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = !injectedFailure() && ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return synced;
}

// "<digits>-<digits>" and nothing else: what follows the mark in a writer's temporary name.
bool isTemporaryTail(std::string_view tail, long& pid)
{
    const std::size_t dash = tail.find('-');
    const auto digits = [](std::string_view text) {
        return !text.empty() &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (dash == std::string_view::npos || !digits(tail.substr(0, dash)) ||
        !digits(tail.substr(dash + 1)))
        return false;
    pid = std::strtol(std::string(tail.substr(0, dash)).c_str(), nullptr, 10);
    return true;
}

} // namespace

TextLineReader::~TextLineReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool TextLineReader::openSource(const std::string& path)
{
    auto source = std::make_unique<SourceFile>();
    if (!source->open(path))
        return false;
    m_source = std::move(source);
    m_capacity = std::max(kReadBufferSize, lookAhead());
    m_buffer.reset(new char[m_capacity]);
    return true;
}

bool TextLineReader::open(const std::string& path)
{
    // Opening a FIFO without O_NONBLOCK would wait for a writer that may never come.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0)
        return false;
    struct stat info;
    // A folder opens but cannot be read as a file; a FIFO or a device is no table.
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    // Small tables get small buffers; a file growing meanwhile is still read whole.
    const auto fileSize = static_cast<std::size_t>(info.st_size);
    const std::size_t largest = std::max(kReadBufferSize, lookAhead());
    m_capacity = std::clamp(fileSize + 1, lookAhead(), largest);
    m_buffer.reset(new char[m_capacity]);
    return true;
}

void TextLineReader::fill()
{
    std::memmove(m_buffer.get(), m_buffer.get() + m_pos, m_end - m_pos);
    m_end -= m_pos;
    m_pos = 0;
    while (m_source && !m_atEof && m_end < m_capacity) {
        const std::size_t got = m_source->read(m_buffer.get() + m_end, m_capacity - m_end);
        m_failed = m_source->failed();
        m_atEof = got == 0;
        m_end += got;
    }
    while (!m_source && !m_atEof && m_end < m_capacity) {
        const ssize_t got = ::read(m_fd, m_buffer.get() + m_end, m_capacity - m_end);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            m_failed = true;
        if (got <= 0)
            m_atEof = true;
        else
            m_end += static_cast<std::size_t>(got);
    }
}

bool TextLineReader::next(std::string_view& line)
{
    if (m_end - m_pos < lookAhead() && !m_atEof)
        fill();
    if (m_failed || m_pos == m_end)
        return false;
    const char* start = m_buffer.get() + m_pos;
    // Less than a window is left only at the end of the file.
    const std::size_t window = std::min(m_end - m_pos, lookAhead());
    const auto* lineFeed = static_cast<const char*>(std::memchr(start, '\n', window));
    std::size_t length = lineFeed ? static_cast<std::size_t>(lineFeed - start) : window;
    // CR LF counts as one character, as a text-mode read sees it.
    const bool crLf = lineFeed && length > 0 && start[length - 1] == '\r';
    const std::size_t readLength = lineFeed ? length + (crLf ? 0 : 1) : length;
    bool lineEnds = true; // by a line end or the end of the file
    if (readLength > m_maxRead) {
        length = m_maxRead;
        m_pos += m_maxRead;
        lineEnds = false;
    } else {
        m_pos += lineFeed ? length + 1 : length;
    }
    if (lineEnds && length > 0 && start[length - 1] == '\r')
        --length;
    const auto* zero = static_cast<const char*>(std::memchr(start, '\0', length));
    line = std::string_view(start, zero ? static_cast<std::size_t>(zero - start) : length);
    return true;
}

AtomicFileWriter::AtomicFileWriter(std::string path, FileTransaction* transaction)
    : m_path(resolvedTarget(path)), m_transaction(transaction), m_buffer(new char[kWriteBufferSize])
{
}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

bool AtomicFileWriter::open()
{
    if (!isReplaceable(m_path)) {
        m_error = errno;
        return false;
    }
    const int attempts = m_transaction ? 1 : 100;
    for (int attempt = 0; attempt < attempts && m_fd < 0; ++attempt) {
        m_tempPath =
            m_transaction ? m_transaction->temporaryPath(m_path) : m_path + temporarySuffix();
        m_fd = injectedFailure()
                   ? -1
                   : ::open(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_error = errno;
        m_tempPath.clear();
        return false;
    }
    // A replaced file keeps its permissions.
    struct stat target;
    if (::stat(m_path.c_str(), &target) == 0 && S_ISREG(target.st_mode))
        ::fchmod(m_fd, target.st_mode & 07777);
    return true;
}

bool AtomicFileWriter::fail()
{
    if (!m_failed)
        m_error = errno;
    m_failed = true;
    return false;
}

bool AtomicFileWriter::flush()
{
    if (!m_failed && m_used > 0 && !writeAll(m_fd, m_buffer.get(), m_used))
        fail();
    m_used = 0;
    return !m_failed;
}

char* AtomicFileWriter::space(std::size_t size)
{
    if (m_used + size > kWriteBufferSize)
        flush();
    return m_buffer.get() + m_used;
}

void AtomicFileWriter::append(std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::size_t part = std::min(bytes.size(), kWriteBufferSize);
        char* out = space(part);
        std::memcpy(out, bytes.data(), part);
        advance(out + part);
        bytes.remove_prefix(part);
    }
}

bool AtomicFileWriter::commit()
{
    if (m_fd < 0)
        return false;
    bool written = flush();
    if (written && (injectedFailure() || ::fsync(m_fd) != 0))
        written = fail();
    if (::close(m_fd) != 0 && written)
        written = fail();
    m_fd = -1;
    if (written && m_transaction) {
        m_transaction->adopt(m_path);
        m_tempPath.clear();
        return true;
    }
    if (written && (injectedFailure() || std::rename(m_tempPath.c_str(), m_path.c_str()) != 0)) {
        written = fail();
        m_failedToReplace = true;
    }
    if (!written) {
        discard();
        return false;
    }
    m_tempPath.clear();
    return true;
}

void AtomicFileWriter::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_tempPath.empty())
        ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
}

FileTransaction::FileTransaction(std::string recordFolder)
    : m_recordFolder(std::move(recordFolder)), m_suffix(temporarySuffix())
{
}

FileTransaction::~FileTransaction()
{
    if (m_committed)
        return;
    for (const Entry& entry : m_entries)
        ::unlink(temporaryPath(entry.target).c_str());
}

std::string FileTransaction::temporaryPath(const std::string& target) const
{
    return target + m_suffix;
}

void FileTransaction::stage(const std::string& target) { m_entries.push_back({target, true}); }

void FileTransaction::adopt(const std::string& target) { m_entries.push_back({target, false}); }

bool FileTransaction::syncStaged()
{
    for (const Entry& entry : m_entries)
        if (entry.staged && !syncFile(temporaryPath(entry.target))) {
            m_error = errno;
            return false;
        }
    return true;
}

bool FileTransaction::writeRecord()
{
    AtomicFileWriter record(m_recordFolder + "/" + kRecordName);
    if (!record.open()) {
        m_error = record.error();
        return false;
    }
    record.append(m_suffix + "\n");
    for (const Entry& entry : m_entries)
        record.append(entry.target + "\n");
    if (!record.commit()) {
        m_error = record.error();
        return false;
    }
    syncFolder(m_recordFolder);
    return true;
}

void FileTransaction::replaceAll()
{
    std::vector<std::string> folders;
    for (const Entry& entry : m_entries) {
        if (std::rename(temporaryPath(entry.target).c_str(), entry.target.c_str()) != 0 &&
            m_error == 0)
            m_error = errno;
        folders.push_back(folderOf(entry.target));
    }
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    for (const std::string& folder : folders)
        syncFolder(folder);
}

bool FileTransaction::commit()
{
    if (!syncStaged() || !writeRecord())
        return false;
    m_committed = true;
    replaceAll();
    // A replacement that failed is retried by the next load, which finds the record.
    if (m_error != 0)
        return false;
    ::unlink((m_recordFolder + "/" + kRecordName).c_str());
    syncFolder(m_recordFolder);
    return true;
}

bool completeInterruptedCommit(const std::string& recordFolder)
{
    const std::string recordPath = recordFolder + "/" + FileTransaction::kRecordName;
    TextLineReader record(4096);
    if (!record.open(recordPath))
        return false;
    std::string_view line;
    std::vector<std::string> folders;
    if (record.next(line) && line.starts_with(kTemporaryMark)) {
        const std::string suffix(line);
        while (record.next(line)) {
            const std::string target(line);
            if (std::rename((target + suffix).c_str(), target.c_str()) == 0)
                folders.push_back(folderOf(target));
        }
    }
    for (const std::string& folder : folders)
        syncFolder(folder);
    ::unlink(recordPath.c_str());
    syncFolder(recordFolder);
    return true;
}

bool copyFileAtomically(const std::string& from, const std::string& to,
                        FileTransaction* transaction)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    AtomicFileWriter out(to, transaction);
    bool copied = out.open();
    for (ssize_t got = 1; copied && got > 0;) {
        char* space = out.space(kWriteBufferSize);
        got = ::read(in, space, kWriteBufferSize);
        if (got < 0 && errno == EINTR)
            continue;
        copied = got >= 0;
        if (got > 0)
            out.advance(space + got);
    }
    ::close(in);
    return copied && out.commit();
}

void removeStaleTemporaries(const std::string& folder,
                            const std::function<bool(std::string_view target)>& isOwnTarget)
{
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        const std::size_t mark = name.rfind(kTemporaryMark);
        long pid = 0;
        if (mark == std::string_view::npos || !isOwnTarget(name.substr(0, mark)) ||
            !isTemporaryTail(name.substr(mark + std::strlen(kTemporaryMark)), pid))
            continue;
        // kill(pid, 0) fails with ESRCH exactly when no such process runs.
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
    ::closedir(listing);
}

WriteFailureInjection::WriteFailureInjection(int failAt) : m_failAt(failAt) { injection = this; }

WriteFailureInjection::~WriteFailureInjection() { injection = nullptr; }
