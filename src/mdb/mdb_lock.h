#pragma once
// One writer per MDB folder: an advisory lock (flock) on the folder itself,
// held exclusively by a process that changes the database and shared by those
// that only read it. Locking the folder leaves no lock file behind and works
// in folders a reader cannot write. The system releases it when its process
// ends, however it ends, so a dead process never blocks.

#include <optional>
#include <string>

enum class MdbAccess { Read, Write };

// The MDB folder and the processes holding it.
inline constexpr const char* kMdbInUseFormat =
    "%s is in use by process %s\nTry again once it has ended";

class MdbLock {
public:
    MdbLock() = default;
    ~MdbLock();
    MdbLock(MdbLock&& other) noexcept;
    MdbLock& operator=(MdbLock&& other) noexcept;
    MdbLock(const MdbLock&) = delete;
    MdbLock& operator=(const MdbLock&) = delete;

    // Takes the lock without waiting. Nothing when another holder has it in a
    // conflicting way (refusal names the folder and the holders' process IDs)
    // or the folder cannot be opened (refusal says why).
    static std::optional<MdbLock> take(const std::string& mdbFolder, MdbAccess access,
                                       std::string& refusal);

    bool held() const { return m_fd >= 0; }
    bool exclusive() const { return m_fd >= 0 && m_access == MdbAccess::Write; }
    void release();

private:
    int m_fd = -1;
    MdbAccess m_access = MdbAccess::Read;
};

// The process IDs that hold a lock on the file or folder, as the system lists them.
std::string lockHolders(const std::string& path);
