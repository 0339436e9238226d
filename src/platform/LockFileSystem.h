// What each system gives FileLock: a lock file opened, one attempt at its exclusive lock,
// and the file closed with its lock given back. The bounded wait and the counting within
// one process (FileLock.cpp) are the same everywhere.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>

namespace lock_file {

// The system's handle of an open lock file: a descriptor, or a HANDLE.
using Handle = std::intptr_t;

// Opens the lock file, creating it when missing; nothing, with `error`, when it cannot.
std::optional<Handle> Open(const std::filesystem::path& path, std::error_code& error);

enum class Attempt { Taken, Busy, Failed };
// One attempt at the exclusive lock, without waiting: Busy while another open file holds
// it, Failed with `error` for anything else.
Attempt TryLock(Handle handle, std::error_code& error);

// Gives the lock back, when held, and closes the file.
void Close(Handle handle);

}  // namespace lock_file
