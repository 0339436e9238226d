// Lock files on Windows: LockFileEx on the whole file, waited for at most two seconds and
// counted per process, and renames that never replace (MoveFileExW without
// MOVEFILE_REPLACE_EXISTING).
#include "platform/FileLock.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <string>

#include "platform/windows/Sdk.h"

namespace {

constexpr DWORD kRetryMs = 20;

struct HeldLock {
    HANDLE file = INVALID_HANDLE_VALUE;
    int count = 0;
};

// Lock files this process holds, by path: a second lock of the same file from the same
// process would wait for the first one forever.
std::map<std::string, HeldLock>& HeldLocks() {
    static std::map<std::string, HeldLock> held;
    return held;
}

std::error_code LastError() {
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
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
    HANDLE file = CreateFileW(path.lexically_normal().c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_Error = LastError();
        HeldLocks().erase(m_Key);
        return;
    }
    // Another client saves in a few milliseconds; one that holds the lock for the whole
    // wait is taken as stuck, and this save is refused rather than waited for.
    const ULONGLONG deadline =
        GetTickCount64() + static_cast<ULONGLONG>(std::max<long long>(wait.count(), 0));
    bool locked = false;
    for (;;) {
        OVERLAPPED whole{};
        locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                            MAXDWORD, &whole) != 0;
        if (locked || GetLastError() != ERROR_LOCK_VIOLATION || GetTickCount64() >= deadline)
            break;
        Sleep(kRetryMs);
    }
    if (!locked) {
        m_Error = GetLastError() == ERROR_LOCK_VIOLATION
                      ? std::make_error_code(std::errc::timed_out)
                      : LastError();
        CloseHandle(file);
        HeldLocks().erase(m_Key);
        return;
    }
    held = {file, 1};
    m_Locked = true;
}

FileLock::~FileLock() {
    if (!m_Locked)
        return;
    auto it = HeldLocks().find(m_Key);
    if (it == HeldLocks().end() || --it->second.count > 0)
        return;
    OVERLAPPED whole{};
    UnlockFileEx(it->second.file, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(it->second.file);
    HeldLocks().erase(it);
}

bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to,
                            std::error_code& error) {
    error.clear();
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    DWORD code = GetLastError();
    error = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS
                ? std::make_error_code(std::errc::file_exists)
                : std::error_code(static_cast<int>(code), std::system_category());
    return false;
}
