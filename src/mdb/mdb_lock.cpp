// The MDB folder's lock over flock(2), with the holders read from /proc/locks.
#include "mdb/mdb_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ui.h"

namespace {

// /proc/locks names a file "MAJ:MIN:INODE"; layered file systems report other device numbers
// there than stat does, so the inode alone identifies it.
bool isSameInode(const std::string& identity, const struct stat& info)
{
    const std::size_t colon = identity.find_last_of(':');
    return colon != std::string::npos &&
           identity.substr(colon + 1) == std::to_string(static_cast<unsigned long>(info.st_ino));
}

} // namespace

MdbLock::~MdbLock() { release(); }

MdbLock::MdbLock(MdbLock&& other) noexcept : m_fd(other.m_fd), m_access(other.m_access)
{
    other.m_fd = -1;
}

MdbLock& MdbLock::operator=(MdbLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        m_access = other.m_access;
        other.m_fd = -1;
    }
    return *this;
}

void MdbLock::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::optional<MdbLock> MdbLock::take(const std::string& mdbFolder, MdbAccess access,
                                     std::string& refusal)
{
    MdbLock lock;
    lock.m_access = access;
    lock.m_fd = ::open(mdbFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock.m_fd < 0) {
        refusal = formatMessage("Cannot lock %s\n%s", mdbFolder.c_str(), std::strerror(errno));
        return std::nullopt;
    }
    const int operation = (access == MdbAccess::Write ? LOCK_EX : LOCK_SH) | LOCK_NB;
    while (::flock(lock.m_fd, operation) != 0) {
        if (errno == EINTR)
            continue;
        refusal =
            errno == EWOULDBLOCK
                ? formatMessage(kMdbInUseFormat, mdbFolder.c_str(), lockHolders(mdbFolder).c_str())
                : formatMessage("Cannot lock %s\n%s", mdbFolder.c_str(), std::strerror(errno));
        return std::nullopt;
    }
    return lock;
}

std::string lockHolders(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return "?";
    std::ifstream locks("/proc/locks");
    std::string line;
    std::string holders;
    // "1: FLOCK  ADVISORY  WRITE 4242 08:01:1234 0 EOF"; waiting entries carry "->".
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, advisory, mode, pid, file;
        fields >> number >> kind >> advisory >> mode >> pid >> file;
        if (kind == "FLOCK" && isSameInode(file, info))
            holders += (holders.empty() ? "" : ", ") + pid;
    }
    return holders.empty() ? "?" : holders;
}
