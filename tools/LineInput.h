// Where commands come from: a terminal with line editing and history, or a stream.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class LineInput {
  public:
    virtual ~LineInput() = default;
    // The next line without its line break, or nothing at the end of input.
    virtual std::optional<std::string> Next() = 0;
    virtual bool Interactive() const { return false; }
};

// Lines from a file, or from standard input when `path` is "-".
// Null when the file cannot be read.
std::unique_ptr<LineInput> OpenScript(const std::string& path);

// Lines typed at the terminal: with line editing and a history kept in `historyFile`
// when the program is built with libedit, else plain lines after a prompt.
std::unique_ptr<LineInput> OpenTerminal(const std::filesystem::path& historyFile);

// Whether standard input is a terminal.
bool StdinIsTerminal();
