// Windows paths mapped onto this machine, the user's data folder, and atomic file writes.
#include "platform/Files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>
#include <system_error>
#include <vector>

#include "platform/Ascii.h"

namespace fs = std::filesystem;

namespace {

const char* NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// Windows finds "c:\toonpacks" when the folder is "C:\ToonPacks"; this file system
// does not, so a component that does not exist as written takes the name of an entry
// that differs only in letter case.
std::string ResolveCase(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(folder / name, ec))
        return name;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (EqualsIgnoringCase(entry, name))
            matches.push_back(std::move(entry));
    }
    if (matches.empty())
        return name;
    return *std::min_element(matches.begin(), matches.end());
}

// Splits at backslashes, dropping empty and "." components; ".." climbs one level but,
// as on Windows, never above the drive's root.
std::vector<std::string> SplitWindowsPath(std::string_view path, bool rooted) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == ".." && rooted) {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        if (part == ".." && !parts.empty() && parts.back() != "..") {
            parts.pop_back();
            continue;
        }
        parts.emplace_back(part);
    }
    return parts;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::error_code LastError() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// Where a write of `path` goes: through a symbolic link to what it points at.
bool WriteTarget(const fs::path& path, fs::path& target, std::error_code& error) {
    target = path;
    if (struct stat link{}; ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        target = fs::weakly_canonical(path, error);
        if (error)
            return false;
    }
    return true;
}

fs::path FolderOf(const fs::path& target) {
    fs::path folder = target.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

std::string TemporaryPrefix(const fs::path& target) {
    return target.filename().string() + ".tmp-";
}

// "<digits>-<digits>" after the prefix: the process and the number of a temporary.
bool IsTemporarySuffix(std::string_view suffix) {
    std::size_t dash = suffix.find('-');
    auto digits = [](std::string_view part) {
        return !part.empty() &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return dash != std::string_view::npos && digits(suffix.substr(0, dash)) &&
           digits(suffix.substr(dash + 1));
}

}  // namespace

fs::path UserDataFolder() {
    // XDG asks that a relative XDG_DATA_HOME be ignored.
    if (const char* xdg = NonEmptyEnv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return fs::path(xdg) / "tarnik";
    const char* home = NonEmptyEnv("HOME");
    if (!home) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
            home = entry->pw_dir;
    }
    return fs::path(home ? home : ".") / ".local" / "share" / "tarnik";
}

fs::path DrivesRoot() {
    if (const char* root = NonEmptyEnv("TARNIK_DRIVES"))
        return fs::path(root);
    return UserDataFolder();
}

fs::path MapWindowsPath(std::string_view windowsPath) {
    // The Windows functions take zero-terminated text: nothing after a zero is the name.
    windowsPath = windowsPath.substr(0, windowsPath.find('\0'));
    if (windowsPath.find('/') != std::string_view::npos)
        return fs::path(windowsPath);

    fs::path base;
    bool rooted = false;
    if (windowsPath.size() >= 2 && windowsPath[1] == ':' &&
        ((windowsPath[0] >= 'a' && windowsPath[0] <= 'z') ||
         (windowsPath[0] >= 'A' && windowsPath[0] <= 'Z'))) {
        base = DrivesRoot() / std::string(1, ToLowerAscii(windowsPath[0]));
        windowsPath.remove_prefix(2);
        rooted = true;
    } else if (!windowsPath.empty() && windowsPath[0] == '\\') {
        // The root of the current drive; there is one drive to speak of, c.
        base = DrivesRoot() / "c";
        rooted = true;
    }

    fs::path result = base;
    fs::path onDisk = rooted ? base : fs::path(".");
    for (const std::string& part : SplitWindowsPath(windowsPath, rooted)) {
        std::string name = part == ".." ? part : ResolveCase(onDisk, part);
        result /= name;
        onDisk /= name;
    }
    return result;
}

bool WriteFileAtomically(const fs::path& path, std::string_view bytes, std::error_code& error) {
    error.clear();
    if (path.empty() || !path.has_filename()) {
        error = std::make_error_code(std::errc::invalid_argument);
        return false;
    }
    // Writing through a symbolic link keeps the link and replaces what it points to.
    fs::path target;
    if (!WriteTarget(path, target, error))
        return false;
    const fs::path folder = FolderOf(target);

    // O_EXCL with a fresh name: the kernel applies the umask, and nothing else can be
    // writing the same temporary. The lock marks it as owned by a live writer.
    static std::atomic<unsigned> counter{0};
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = folder / (TemporaryPrefix(target) + std::to_string(::getpid()) + "-" +
                              std::to_string(counter++));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            error = LastError();
            return false;
        }
        // Only a remover can hold a lock on a name this instant: it removes the file.
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) {
        error = std::make_error_code(std::errc::file_exists);
        return false;
    }

    // The new file keeps the permissions of the one it replaces.
    bool ok = true;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;

    ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    // Renamed while still locked, so that it is never an unlocked temporary.
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        error = LastError();
        ::unlink(temporary.c_str());
    }
    ::close(fd);
    if (!ok)
        return false;
    // Make the rename itself durable; a failure here leaves a complete file either way.
    if (int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::size_t RemoveAbandonedTemporaries(const fs::path& path) {
    fs::path target;
    std::error_code error;
    if (path.empty() || !path.has_filename() || !WriteTarget(path, target, error))
        return 0;
    const std::string prefix = TemporaryPrefix(target);
    std::size_t removed = 0;
    for (fs::directory_iterator it(FolderOf(target), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(prefix) ||
            !IsTemporarySuffix(std::string_view(name).substr(prefix.size())))
            continue;
        int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat file {};
        if (::fstat(fd, &file) == 0 && S_ISREG(file.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(it->path().c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

bool LocalTime(std::time_t seconds, std::tm& local) {
    return localtime_r(&seconds, &local) != nullptr;
}
