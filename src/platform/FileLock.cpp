// Lock files: the bounded wait for another client's lock and the counting within one
// process, over each system's open, try-lock and close (LockFileSystem.h).
#include "platform/FileLock.h"

#include <algorithm>
#include <map>
#include <thread>

#include "platform/LockFileSystem.h"

namespace {

using lock_file::Attempt;

struct HeldLock {
    lock_file::Handle handle = 0;
    int count = 0;
};

// Lock files this process holds, by path: a second lock of the same file from the same
// process would wait for the first one for the whole wait.
std::map<std::string, HeldLock>& HeldLocks() {
    static std::map<std::string, HeldLock> held;
    return held;
}

// Tries the lock until it is taken or `wait` has passed. Another client saves in a few
// milliseconds; one that holds the lock for the whole wait is taken as stuck, and the
// caller's save is refused rather than waited for.
std::error_code LockWithin(lock_file::Handle handle, std::chrono::milliseconds wait) {
    constexpr std::chrono::milliseconds kRetry{10};
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        std::error_code error;
        switch (lock_file::TryLock(handle, error)) {
            case Attempt::Taken:
                return {};
            case Attempt::Failed:
                return error;
            case Attempt::Busy:
                break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return std::make_error_code(std::errc::timed_out);
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kRetry, deadline - now));
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
    std::optional<lock_file::Handle> handle = lock_file::Open(path.lexically_normal(), m_Error);
    if (handle) {
        m_Error = LockWithin(*handle, wait);
        if (m_Error)
            lock_file::Close(*handle);
    }
    if (!handle || m_Error) {
        HeldLocks().erase(m_Key);
        return;
    }
    held = {*handle, 1};
    m_Locked = true;
}

FileLock::~FileLock() {
    if (!m_Locked)
        return;
    auto it = HeldLocks().find(m_Key);
    if (it == HeldLocks().end() || --it->second.count > 0)
        return;
    lock_file::Close(it->second.handle);
    HeldLocks().erase(it);
}
