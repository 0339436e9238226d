// Line sources: script files and standard input, and the terminal through libedit.
#include "LineInput.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>

#ifdef TARNIK_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

namespace {

constexpr const char* kPrompt = "tarnik> ";

void DropCarriageReturn(std::string& line) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
}

class StreamInput final : public LineInput {
  public:
    explicit StreamInput(std::istream& in) : in_(in) {}
    std::optional<std::string> Next() override {
        std::string line;
        if (!std::getline(in_, line))
            return std::nullopt;
        DropCarriageReturn(line);
        return line;
    }

  private:
    std::istream& in_;
};

class FileInput final : public LineInput {
  public:
    explicit FileInput(const std::string& path) : file_(path, std::ios::binary), stream_(file_) {}
    bool Good() const { return file_.is_open(); }
    std::optional<std::string> Next() override { return stream_.Next(); }

  private:
    std::ifstream file_;
    StreamInput stream_;
};

#ifdef TARNIK_HAVE_LIBEDIT
class EditLineInput final : public LineInput {
  public:
    explicit EditLineInput(std::filesystem::path historyFile) : history_(std::move(historyFile)) {
        stifle_history(1000);
        read_history(history_.c_str());
    }
    ~EditLineInput() override { write_history(history_.c_str()); }
    std::optional<std::string> Next() override {
        char* raw = readline(kPrompt);
        if (!raw)
            return std::nullopt;
        std::string line(raw);
        std::free(raw);
        if (line.find_first_not_of(" \t") != std::string::npos)
            add_history(line.c_str());
        return line;
    }
    bool Interactive() const override { return true; }

  private:
    std::filesystem::path history_;
};
#else
class PromptInput final : public LineInput {
  public:
    std::optional<std::string> Next() override {
        std::cout << kPrompt << std::flush;
        return stream_.Next();
    }
    bool Interactive() const override { return true; }

  private:
    StreamInput stream_{std::cin};
};
#endif

}  // namespace

std::unique_ptr<LineInput> OpenScript(const std::string& path) {
    if (path == "-")
        return std::make_unique<StreamInput>(std::cin);
    auto file = std::make_unique<FileInput>(path);
    if (!file->Good())
        return nullptr;
    return file;
}

std::unique_ptr<LineInput> OpenTerminal([[maybe_unused]] const std::filesystem::path& historyFile) {
#ifdef TARNIK_HAVE_LIBEDIT
    return std::make_unique<EditLineInput>(historyFile);
#else
    return std::make_unique<PromptInput>();
#endif
}

bool StdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}
