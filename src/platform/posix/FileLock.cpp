// The lock files and no-replace renames on POSIX systems: flock, polled until a
// deadline, counted per process; renameat2, else a hard link.
#include "platform/FileLock.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <string>
#include <thread>

namespace {

struct HeldLock {
    int fd = -1;
    int count = 0;
};

// Lock files this process holds, by path: flock on a second descriptor of the same file
// would wait for the first one forever.
std::map<std::string, HeldLock>& HeldLocks() {
    static std::map<std::string, HeldLock> held;
    return held;
}

// Polls the lock until it is taken or `wait` has passed; 0, or the errno of the failure
// (ETIMEDOUT when the wait ran out).
int LockWithin(int fd, std::chrono::milliseconds wait) {
    constexpr std::chrono::milliseconds kPoll{10};
    auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return 0;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return errno;
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return ETIMEDOUT;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kPoll, deadline - now));
    }
}

}  // namespace

FileLock::FileLock(const std::filesystem::path& path, std::chrono::milliseconds wait)
    : m_Key(path.lexically_normal().string()) {
    HeldLock& held = HeldLocks()[m_Key];
    if (held.count > 0) {
        ++held.count;
        m_Locked = true;
        return;
    }
    int fd = ::open(m_Key.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        m_Error = std::error_code(errno, std::generic_category());
        HeldLocks().erase(m_Key);
        return;
    }
    if (int failure = LockWithin(fd, wait)) {
        m_Error = std::error_code(failure, std::generic_category());
        ::close(fd);
        HeldLocks().erase(m_Key);
        return;
    }
    held = {fd, 1};
    m_Locked = true;
}

FileLock::~FileLock() {
    if (!m_Locked)
        return;
    auto it = HeldLocks().find(m_Key);
    if (it == HeldLocks().end() || --it->second.count > 0)
        return;
    ::flock(it->second.fd, LOCK_UN);
    ::close(it->second.fd);
    HeldLocks().erase(it);
}

bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                            std::error_code& error) {
    error.clear();
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) {
        error = std::error_code(errno, std::generic_category());
        return false;
    }
    // A file system without no-replace renames: a hard link fails when `to` exists.
    if (::link(from.c_str(), to.c_str()) != 0) {
        error = std::error_code(errno, std::generic_category());
        return false;
    }
    if (::unlink(from.c_str()) != 0) {
        error = std::error_code(errno, std::generic_category());
        ::unlink(to.c_str());
        return false;
    }
    return true;
}
