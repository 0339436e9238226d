// The Windows console: plain lines after a prompt, with the console's own editing and
// history (no libedit). For live play a reading thread hands over each finished line, so
// that the game can go on while the prompt waits.
#include <io.h>

#include <condition_variable>
#include <deque>
#include <iostream>
#include <mutex>
#include <thread>

#include "LineInput.h"
#include "LineInputParts.h"

using namespace line_input;

namespace {

void ShowPromptText() {
    std::fputs(kPrompt, stdout);
    std::fflush(stdout);
}

class ConsoleInput final : public LineInput {
  public:
    std::optional<std::string> Next() override {
        ShowPromptText();
        std::string line;
        if (!std::getline(std::cin, line)) {
            EndPromptLine();
            return std::nullopt;
        }
        DropCarriageReturn(line);
        return line;
    }
    bool Interactive() const override { return true; }
};

// Lines read on a thread of their own. The thread may still wait in the console when the
// session ends; it is left to the end of the process, and touches only the shared state.
class LiveConsoleInput final : public LineInput {
  public:
    LiveConsoleInput() : shared_(std::make_shared<Shared>()) {
        std::thread([shared = shared_] {
            std::string line;
            while (std::getline(std::cin, line)) {
                DropCarriageReturn(line);
                std::lock_guard lock(shared->mutex);
                shared->lines.push_back(line);
                shared->changed.notify_one();
            }
            std::lock_guard lock(shared->mutex);
            shared->ended = true;
            shared->changed.notify_one();
        }).detach();
    }

    std::optional<std::string> Next() override {
        WaitedLine got = WaitForLine(std::nullopt);
        if (got.kind != WaitedLine::Line)
            return std::nullopt;
        return got.line;
    }
    bool Interactive() const override { return true; }

    WaitedLine WaitForLine(std::optional<milliseconds> limit) override {
        ShowPrompt();
        std::unique_lock lock(shared_->mutex);
        auto ready = [this] { return !shared_->lines.empty() || shared_->ended; };
        if (limit)
            shared_->changed.wait_for(lock, *limit, ready);
        else
            shared_->changed.wait(lock, ready);
        if (!shared_->lines.empty()) {
            std::string line = std::move(shared_->lines.front());
            shared_->lines.pop_front();
            prompted_ = false;
            return {WaitedLine::Line, std::move(line)};
        }
        if (shared_->ended) {
            prompted_ = false;
            EndPromptLine();
            return {WaitedLine::End, {}};
        }
        return {WaitedLine::Timeout, {}};
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
        ShowPromptText();
        prompted_ = true;
    }

  private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::string> lines;
        bool ended = false;
    };
    std::shared_ptr<Shared> shared_;
    bool prompted_ = false;
};

}  // namespace

std::unique_ptr<LineInput> OpenTerminal(const std::filesystem::path&, bool live) {
    if (live)
        return std::make_unique<LiveConsoleInput>();
    return std::make_unique<ConsoleInput>();
}

bool StdinIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}
