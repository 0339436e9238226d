// The terminal through libedit, either blocking or, for live play, polled so that the
// game can go on between key presses.
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "LineInput.h"
#include "LineInputParts.h"

#ifdef TARNIK_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

using namespace line_input;

namespace {

#ifdef TARNIK_HAVE_LIBEDIT
// The columns a terminal takes to show these bytes: one per character of UTF-8, two for
// a control character, which line editing shows as ^X.
std::size_t ShownWidth(std::string_view text) {
    std::size_t width = 0;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80)
            continue;  // a continuation byte of the character before
        width += byte < 0x20 || byte == 0x7F ? 2 : 1;
    }
    return width;
}

// Clears a prompt and the line typed after it, which may wrap over several rows of the
// terminal: `cursorColumn` counts the columns from the start of the prompt to the cursor.
// Up to the prompt's first row, to its start, and clear from there to the end of the screen.
void ClearPromptRows(std::size_t cursorColumn) {
    winsize size{};
    std::size_t columns = ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
    std::size_t rowsUp = columns > 0 ? cursorColumn / columns : 0;
    std::string clear = "\r";
    if (rowsUp > 0)
        clear += "\033[" + std::to_string(rowsUp) + "A";
    clear += "\033[J";
    std::fputs(clear.c_str(), stdout);
    std::fflush(stdout);
}
#endif

enum class StdinState { Readable, Timeout, Closed };

// Waits until standard input can be read or `deadline` passes (never without one).
StdinState PollStdin(std::optional<SteadyClock::time_point> deadline) {
    for (;;) {
        int timeout = -1;
        if (deadline) {
            auto left = std::chrono::ceil<milliseconds>(*deadline - SteadyClock::now()).count();
            timeout = static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
        }
        pollfd fd{STDIN_FILENO, POLLIN, 0};
        int ready = ::poll(&fd, 1, timeout);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return StdinState::Closed;
        if (ready == 0)
            return StdinState::Timeout;
        if (fd.revents & POLLIN)
            return StdinState::Readable;
        return StdinState::Closed;  // hung up, or no longer a file
    }
}

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
        if (!raw) {
            EndPromptLine();
            return std::nullopt;
        }
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

// libedit's callback interface: each key press is read when the terminal has one, and a
// finished line comes back through OnLine. The handler is installed for each line and
// removed when it is done, which gives every line a fresh prompt and an empty buffer and
// leaves the terminal as usual while a command runs. One such input exists at a time.
class LiveEditLineInput final : public LineInput {
  public:
    explicit LiveEditLineInput(std::filesystem::path historyFile)
        : history_(std::move(historyFile)) {
        stifle_history(1000);
        read_history(history_.c_str());
        current_ = this;
    }
    ~LiveEditLineInput() override {
        if (installed_)
            rl_callback_handler_remove();
        current_ = nullptr;
        write_history(history_.c_str());
    }
    std::optional<std::string> Next() override {
        WaitedLine got = WaitForLine(std::nullopt);
        if (got.kind != WaitedLine::Line)
            return std::nullopt;
        return got.line;
    }
    bool Interactive() const override { return true; }

    WaitedLine WaitForLine(std::optional<milliseconds> limit) override {
        std::optional<SteadyClock::time_point> deadline = DeadlineAfter(limit);
        if (!installed_) {
            rl_callback_handler_install(kPrompt, &LiveEditLineInput::OnLine);
            installed_ = true;
        }
        while (!finished_) {
            switch (PollStdin(deadline)) {
                case StdinState::Timeout:
                    return {WaitedLine::Timeout, {}};
                case StdinState::Closed:
                    EndPromptLine();
                    return {WaitedLine::End, {}};
                case StdinState::Readable:
                    rl_callback_read_char();
                    break;
            }
        }
        finished_ = false;
        rl_callback_handler_remove();
        installed_ = false;
        if (!line_) {
            EndPromptLine();
            return {WaitedLine::End, {}};
        }
        std::string line = std::move(*line_);
        line_.reset();
        if (line.find_first_not_of(" \t") != std::string::npos)
            add_history(line.c_str());
        return {WaitedLine::Line, std::move(line)};
    }

    void HidePrompt() override {
        if (!installed_ || !rl_line_buffer) {
            std::fputs(kClearLine, stdout);
            std::fflush(stdout);
            return;
        }
        std::string_view typed(rl_line_buffer);
        std::size_t point = std::clamp<std::size_t>(rl_point < 0 ? 0 : rl_point, 0, typed.size());
        ClearPromptRows(ShownWidth(kPrompt) + ShownWidth(typed.substr(0, point)));
    }
    void ShowPrompt() override {
        if (installed_)
            rl_forced_update_display();
    }

  private:
    // Called by libedit from rl_callback_read_char with the finished line (which it
    // allocated), or with null at the end of input.
    static void OnLine(char* line) {
        if (!current_) {
            std::free(line);
            return;
        }
        current_->finished_ = true;
        if (line)
            current_->line_ = std::string(line);
        std::free(line);
    }

    static inline LiveEditLineInput* current_ = nullptr;
    std::filesystem::path history_;
    bool installed_ = false;
    bool finished_ = false;
    std::optional<std::string> line_;
};
#else
// Plain lines after a prompt, read straight from the terminal so that a live session can
// wait for them with a limit.
class PromptInput final : public LineInput {
  public:
    std::optional<std::string> Next() override {
        WaitedLine got = WaitForLine(std::nullopt);
        if (got.kind != WaitedLine::Line)
            return std::nullopt;
        return got.line;
    }
    bool Interactive() const override { return true; }

    WaitedLine WaitForLine(std::optional<milliseconds> limit) override {
        std::optional<SteadyClock::time_point> deadline = DeadlineAfter(limit);
        ShowPrompt();
        for (;;) {
            if (std::size_t end = pending_.find('\n'); end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                DropCarriageReturn(line);
                prompted_ = false;
                return {WaitedLine::Line, std::move(line)};
            }
            StdinState state = PollStdin(deadline);
            if (state == StdinState::Timeout)
                return {WaitedLine::Timeout, {}};
            char buffer[4096];
            ssize_t got =
                state == StdinState::Readable ? ::read(STDIN_FILENO, buffer, sizeof buffer) : 0;
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                prompted_ = false;
                if (!pending_.empty()) {
                    std::string last = std::move(pending_);
                    pending_.clear();
                    return {WaitedLine::Line, std::move(last)};
                }
                EndPromptLine();
                return {WaitedLine::End, {}};
            }
            pending_.append(buffer, static_cast<std::size_t>(got));
        }
    }

    void HidePrompt() override {
        if (!prompted_)
            return;
        std::fputs(kClearLine, stdout);
        std::fflush(stdout);
        prompted_ = false;
    }
    void ShowPrompt() override {
        if (prompted_)
            return;
        std::fputs(kPrompt, stdout);
        std::fflush(stdout);
        prompted_ = true;
    }

  private:
    std::string pending_;
    bool prompted_ = false;
};
#endif

}  // namespace

std::unique_ptr<LineInput> OpenTerminal([[maybe_unused]] const std::filesystem::path& historyFile,
                                        [[maybe_unused]] bool live) {
#ifdef TARNIK_HAVE_LIBEDIT
    if (live)
        return std::make_unique<LiveEditLineInput>(historyFile);
    return std::make_unique<EditLineInput>(historyFile);
#else
    return std::make_unique<PromptInput>();
#endif
}

bool StdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}
