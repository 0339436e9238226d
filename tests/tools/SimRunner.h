// Runs tarnik-sim as a child process in a fresh data folder and captures what it printed.
#pragma once

#include <string>
#include <vector>

struct SimResult {
    int status = -1;     // the exit status, or -1 when the program did not exit normally
    std::string output;  // standard output and standard error, as printed
    std::string errors;  // standard error alone, when asked for apart
    long peakKb = 0;     // the most resident memory the program held, in KiB
    std::vector<std::string> Lines() const;
    // The lines that start with `prefix`.
    std::vector<std::string> LinesStartingWith(const std::string& prefix) const;
};

// Runs the program with these arguments and standard input from /dev/null. With
// `separateErrors`, standard error goes to `errors` and only standard output to `output`.
SimResult RunSim(const std::vector<std::string>& args, bool separateErrors = false);

// One exchange with the program on a terminal: wait until its output holds `awaited`
// (from where the previous step's text was found on), then type `typed`. With
// `keyByKey`, also wait until the program reads the terminal key by key: a control key
// such as Ctrl-D typed before then is taken by the terminal's own line editing.
struct TerminalStep {
    std::string awaited;
    std::string typed;
    bool keyByKey = false;
};

// Runs the program on a pseudo-terminal of its own and plays `steps`, then reads until it
// exits. A step whose text never comes ends the run after a minute, so that a fault
// cannot hang the tests; the result then has status -1.
// `program` replaces tarnik-sim when given (its full path; `args` follow it).
SimResult RunSimOnTerminal(const std::vector<std::string>& args,
                           const std::vector<TerminalStep>& steps, const std::string& program = {});
