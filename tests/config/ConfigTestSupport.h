// Helpers for the configuration tests: a fresh folder per test, file reading and writing,
// a captured trace, and small stand-ins for the controls, hooks and character filter.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ComObject.h"
#include "platform/DebugOutput.h"
#include "plugin/host/CharacterStats.h"
#include "plugin/host/Choice.h"
#include "plugin/host/Hooks.h"

namespace config_test {

class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarnik-config-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
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

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// "a\nb\n" written as the file has it: every line ends with CR LF.
inline std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// Runs `check` where folder permissions apply: in a child that gives up root when the
// tests run as root (the caller opens the folders it needs to others). True when the
// check passed.
inline bool AsOrdinaryUser(const std::function<bool()>& check) {
    if (::geteuid() != 0)
        return check();
    pid_t child = ::fork();
    if (child == 0) {
        bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 && check();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Makes every write that would grow a file past `bytes` fail while it lives; works
// for root as well.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    sighandler_t oldHandler_ = SIG_DFL;
};

// Collects the debugger output while it lives.
class TraceCapture {
  public:
    TraceCapture() {
        SetDebugOutputSink([this](const char* line) { lines_.emplace_back(line); });
    }
    ~TraceCapture() { SetDebugOutputSink({}); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    const std::vector<std::string>& Lines() const { return lines_; }
    bool Has(const std::string& line) const {
        return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
    }
    bool HasFragment(const std::string& fragment) const {
        return std::any_of(lines_.begin(), lines_.end(), [&](const std::string& line) {
            return line.find(fragment) != std::string::npos;
        });
    }
    void Clear() { lines_.clear(); }

  private:
    std::vector<std::string> lines_;
};

// A choice control that keeps its options and selection; an index outside the options
// selects nothing, as the host's does.
class FakeChoice : public ComObject<IChoice> {
  public:
    HRESULT get_ID(LONG* id) override {
        *id = 0;
        return S_OK;
    }
    HRESULT get_ChoiceCount(LONG* count) override {
        *count = static_cast<LONG>(options.size());
        return S_OK;
    }
    HRESULT AddChoice(BSTR text) override {
        options.push_back(BstrToUtf8(text));
        return S_OK;
    }
    HRESULT RemoveChoice(LONG index) override {
        if (index < 0 || index >= static_cast<LONG>(options.size()))
            return E_INVALIDARG;
        options.erase(options.begin() + index);
        return S_OK;
    }
    HRESULT get_Text(LONG index, BSTR* text) override {
        if (index < 0 || index >= static_cast<LONG>(options.size()))
            return E_INVALIDARG;
        *text = CComBSTR(options[index]).Detach();
        return S_OK;
    }
    HRESULT put_Text(LONG index, BSTR text) override {
        if (index < 0 || index >= static_cast<LONG>(options.size()))
            return E_INVALIDARG;
        options[index] = BstrToUtf8(text);
        return S_OK;
    }
    HRESULT get_Selected(LONG* index) override {
        *index = selected;
        return S_OK;
    }
    HRESULT put_Selected(LONG index) override {
        selected = index >= 0 && index < static_cast<LONG>(options.size()) ? index : -1;
        return S_OK;
    }

    std::vector<std::string> options;
    LONG selected = -1;
};

// Hooks that record the chat lines; nothing else is used by the configuration.
class FakeHooks : public ComObject<IACHooks> {
  public:
    HRESULT ChatOut(BSTR text, LONG, LONG) override {
        chat.push_back(BstrToUtf8(text));
        return S_OK;
    }
    HRESULT InvokeChatParser(BSTR) override { return S_OK; }
    HRESULT SelectItem(LONG) override { return S_OK; }
    HRESULT get_CurrentSelection(LONG* id) override {
        *id = 0;
        return S_OK;
    }
    HRESULT MoveItemEx(LONG, LONG, LONG, VARIANT_BOOL) override { return S_OK; }
    HRESULT UseItemOnTarget(LONG, LONG) override { return S_OK; }
    HRESULT RequestId(LONG) override { return S_OK; }
    HRESULT SetSplitCount(LONG) override { return S_OK; }
    HRESULT get_ChatState(VARIANT_BOOL* active) override {
        *active = VARIANT_FALSE;
        return S_OK;
    }

    std::vector<std::string> chat;
};

class FakeCharacterStats : public ComObject<ICharacterStats> {
  public:
    HRESULT get_Character(LONG* id) override {
        *id = static_cast<LONG>(character);
        return S_OK;
    }
    HRESULT get_Name(BSTR* text) override {
        *text = CComBSTR(name).Detach();
        return S_OK;
    }
    HRESULT get_Server(BSTR* text) override {
        *text = CComBSTR(server).Detach();
        return S_OK;
    }

    std::uint32_t character = 0x50000001;
    std::string name = "Tester";
    std::string server = "Blue Hill";
};

}  // namespace config_test
