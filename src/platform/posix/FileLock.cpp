// Lock files and no-replace renames on POSIX systems: flock, whose locks belong to the
// open file; renameat2, else a hard link.
#include "platform/FileLock.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/LockFileSystem.h"

namespace lock_file {

std::optional<Handle> Open(const std::filesystem::path& path, std::error_code& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = std::error_code(errno, std::generic_category());
        return std::nullopt;
    }
    return fd;
}

Attempt TryLock(Handle handle, std::error_code& error) {
    for (;;) {
        if (::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0)
            return Attempt::Taken;
        if (errno == EINTR)
            continue;
        if (errno == EWOULDBLOCK)
            return Attempt::Busy;
        error = std::error_code(errno, std::generic_category());
        return Attempt::Failed;
    }
}

void Close(Handle handle) {
    ::flock(static_cast<int>(handle), LOCK_UN);
    ::close(static_cast<int>(handle));
}

}  // namespace lock_file

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
