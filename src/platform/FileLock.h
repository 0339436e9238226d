// Exclusive lock files and renames that never replace: what lets several game clients
// on one machine share one configuration file safely.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

// Holds an exclusive lock on the lock file `path` (created when missing) for its
// lifetime. While another process holds it, waits at most `wait`: a client that hangs
// holding the lock must not freeze every other client on the machine. Within one
// process the lock is counted, so an operation that holds it may call another that
// takes it again. One thread only, like the rest of the plug-in.
class FileLock {
  public:
    static constexpr std::chrono::milliseconds kDefaultWait{2000};

    explicit FileLock(const std::filesystem::path& path,
                      std::chrono::milliseconds wait = kDefaultWait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // False when the lock file could not be opened or locked; the holder must then not
    // write what the lock guards. Error says why: errc::timed_out when another process
    // held the lock for the whole wait.
    bool Locked() const { return m_Locked; }
    const std::error_code& Error() const { return m_Error; }

  private:
    std::string m_Key;
    bool m_Locked = false;
    std::error_code m_Error;
};

// Renames `from` to `to` unless `to` exists; then fails with errc::file_exists and
// leaves both files as they were.
[[nodiscard]] bool RenameWithoutReplacing(const std::filesystem::path& from,
                                          const std::filesystem::path& to, std::error_code& error);
