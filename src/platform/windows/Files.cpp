// Files on Windows: paths are the system's own, and a replacement is a write-through
// rename of a temporary that its writer holds open without sharing.
#include "platform/Files.h"

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/windows/Sdk.h"

namespace fs = std::filesystem;

namespace {

std::error_code LastError() {
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

std::wstring TemporaryPrefix(const fs::path& target) {
    return target.filename().wstring() + L".tmp-";
}

// "<pid>-<number>" and nothing else after the prefix.
bool IsTemporarySuffix(std::wstring_view suffix) {
    std::size_t dash = suffix.find(L'-');
    if (dash == 0 || dash == std::wstring_view::npos || dash + 1 == suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (i != dash && (suffix[i] < L'0' || suffix[i] > L'9'))
            return false;
    }
    return true;
}

// Opened for writing without sharing: another process can neither open nor remove it
// while this handle is open, which is how RemoveAbandonedTemporaries tells it is in use.
class TemporaryFile {
  public:
    explicit TemporaryFile(const fs::path& target) {
        static std::atomic<unsigned> counter{0};
        path_ = target;
        path_ +=
            L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
        handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~TemporaryFile() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
            if (!renamed_)
                DeleteFileW(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Open() const { return handle_ != INVALID_HANDLE_VALUE; }

    bool Write(std::string_view bytes) {
        while (!bytes.empty()) {
            DWORD chunk = bytes.size() > 1u << 30 ? 1u << 30 : static_cast<DWORD>(bytes.size());
            DWORD written = 0;
            if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0)
                return false;
            bytes.remove_prefix(written);
        }
        return FlushFileBuffers(handle_) != 0;
    }

    // Still open, so no one removes it half-way; the handle shares deletion for this.
    bool RenameOver(const fs::path& target) {
        renamed_ = MoveFileExW(path_.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        return renamed_;
    }

  private:
    fs::path path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool renamed_ = false;
};

fs::path EnvironmentFolder(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value && *value ? fs::path(value) : fs::path();
}

}  // namespace

fs::path MapWindowsPath(std::string_view windowsPath) {
    // The name ends at a zero character, as the system reads it.
    return fs::path(std::string(windowsPath.substr(0, windowsPath.find('\0'))));
}

// The drives are the system's own.
fs::path DrivesRoot() {
    return {};
}

fs::path UserDataFolder() {
    fs::path base = EnvironmentFolder(L"LOCALAPPDATA");
    if (base.empty())
        base = EnvironmentFolder(L"APPDATA");
    return base.empty() ? fs::path() : base / "Tarnik";
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::error_code& error) {
    error.clear();
    TemporaryFile temporary(path);
    if (!temporary.Open() || !temporary.Write(bytes) || !temporary.RenameOver(path)) {
        error = LastError();
        return false;
    }
    return true;
}

std::size_t RemoveAbandonedTemporaries(const fs::path& path) {
    std::error_code error;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::wstring prefix = TemporaryPrefix(path);
    std::size_t removed = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::wstring name = it->path().filename().wstring();
        if (!name.starts_with(prefix) ||
            !IsTemporarySuffix(std::wstring_view(name).substr(prefix.size())))
            continue;
        if (!it->is_regular_file(error) || it->is_symlink(error))
            continue;
        // A live writer holds its temporary open without sharing reads or writes.
        HANDLE probe = CreateFileW(it->path().c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            continue;
        CloseHandle(probe);
        ++removed;
    }
    return removed;
}

bool LocalTime(std::time_t seconds, std::tm& local) {
    return localtime_s(&local, &seconds) == 0;
}
