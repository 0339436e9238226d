// Test helpers for file tests: a fresh folder per test, file reading, and
// running a check where folder permissions apply (also when the tests run as root).
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace platform_test {

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarnik-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::filesystem::path path_;
};

// Sets (or, with nullptr, removes) an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        Set(value);
    }
    ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void Set(const char* value) {
        value ? ::setenv(name_.c_str(), value, 1) : ::unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

// Makes every write that would grow a file past `bytes` fail while it lives, as a full
// disk would; works for root.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Runs `check` with `folder` made read-only and says whether it passed. Root ignores
// permissions, so then the check runs in a child process that gives up root first;
// nothing when that is not possible here.
inline std::optional<bool> WithReadOnlyFolder(const std::filesystem::path& folder,
                                              const std::function<bool()>& check) {
    // A child that gives up root must still reach the folder through our temporary ones.
    for (auto p = folder.parent_path(); !p.empty() && p != p.root_path(); p = p.parent_path())
        if (::geteuid() == 0 && p.filename().string().starts_with("tarnik-"))
            ::chmod(p.c_str(), 0755);
    ::chmod(folder.c_str(), 0555);
    std::optional<bool> passed;
    if (::geteuid() != 0)
        passed = check();
    else if (pid_t child = ::fork(); child == 0)
        ::_exit(::setgid(65534) != 0 || ::setuid(65534) != 0 ? 2 : check() ? 0 : 1);
    else if (int status = 0; child > 0 && ::waitpid(child, &status, 0) == child &&
                             WIFEXITED(status) && WEXITSTATUS(status) != 2)
        passed = WEXITSTATUS(status) == 0;
    ::chmod(folder.c_str(), 0755);
    return passed;
}

// Another process that holds an exclusive flock on `path` (created when missing) from
// construction until destruction, as a client that hangs while it saves would.
class LockHolder {
  public:
    explicit LockHolder(const std::filesystem::path& path) {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0666);
            char taken = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 1 : 0;
            (void)!::write(ready[1], &taken, 1);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char taken = 0;
        held_ = pid_ > 0 && ::read(ready[0], &taken, 1) == 1 && taken == 1;
        ::close(ready[0]);
    }
    ~LockHolder() { Release(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool Held() const { return held_; }
    void Release() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
        held_ = false;
    }

  private:
    pid_t pid_ = -1;
    bool held_ = false;
};

}  // namespace platform_test
