// Runs tarnik-sim as a child process in a fresh data folder and captures what it printed.
#pragma once

#include <string>
#include <vector>

struct SimResult {
    int status = -1;     // the exit status, or -1 when the program did not exit normally
    std::string output;  // standard output and standard error, as printed
    std::vector<std::string> Lines() const;
    // The lines that start with `prefix`.
    std::vector<std::string> LinesStartingWith(const std::string& prefix) const;
};

// Runs the program with these arguments and standard input from /dev/null.
SimResult RunSim(const std::vector<std::string>& args);
