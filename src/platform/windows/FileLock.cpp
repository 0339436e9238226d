// Lock files on Windows: LockFileEx on the whole file; and renames that never replace
// (MoveFileExW without MOVEFILE_REPLACE_EXISTING).
#include "platform/FileLock.h"

#include "platform/LockFileSystem.h"
#include "platform/windows/Sdk.h"

namespace {

std::error_code LastError() {
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

HANDLE FileOf(lock_file::Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

namespace lock_file {

std::optional<Handle> Open(const std::filesystem::path& path, std::error_code& error) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = LastError();
        return std::nullopt;
    }
    return reinterpret_cast<Handle>(file);
}

Attempt TryLock(Handle handle, std::error_code& error) {
    OVERLAPPED whole{};
    if (LockFileEx(FileOf(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                   MAXDWORD, &whole))
        return Attempt::Taken;
    if (GetLastError() == ERROR_LOCK_VIOLATION)
        return Attempt::Busy;
    error = LastError();
    return Attempt::Failed;
}

void Close(Handle handle) {
    OVERLAPPED whole{};
    UnlockFileEx(FileOf(handle), 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(FileOf(handle));
}

}  // namespace lock_file

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
