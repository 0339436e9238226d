// Where commands come from: a terminal with line editing and history, or a stream.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

// What waiting for a line brought.
struct WaitedLine {
    enum Kind { Line, Timeout, End };
    Kind kind = End;
    std::string line;  // for Line
};

class LineInput {
  public:
    virtual ~LineInput() = default;
    // The next line without its line break, or nothing at the end of input.
    virtual std::optional<std::string> Next() = 0;
    virtual bool Interactive() const { return false; }

    // Waits at most `limit` for a line (without a limit, until one comes or input ends).
    // Only a terminal opened for live play stops waiting at the limit; other inputs
    // answer at once with their next line.
    virtual WaitedLine WaitForLine(std::optional<std::chrono::milliseconds> limit);
    // Output printed while a live prompt waits: the prompt and what was typed so far make
    // way for it and are drawn again after it.
    virtual void HidePrompt() {}
    virtual void ShowPrompt() {}
};

// Lines from a file, or from standard input when `path` is "-".
// Null when the file cannot be read.
std::unique_ptr<LineInput> OpenScript(const std::string& path);

// Lines typed at the terminal: with line editing and a history kept in `historyFile`
// when the program is built with libedit, else plain lines after a prompt. `live`: the
// terminal is read without blocking, so that WaitForLine returns at its limit. At the
// end of input (Ctrl-D) the terminal moves to a new line.
std::unique_ptr<LineInput> OpenTerminal(const std::filesystem::path& historyFile, bool live);

// Whether standard input is a terminal.
bool StdinIsTerminal();
