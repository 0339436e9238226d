// Child-process runs of tarnik-sim for the tests: into files, or on a pseudo-terminal.
#include "tools/SimRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

constexpr auto kStepTimeout = std::chrono::seconds(60);

// Reads the file from its start, and closes it.
std::string ReadAll(std::FILE* file) {
    std::string text;
    char buffer[4096];
    std::rewind(file);
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, got);
    std::fclose(file);
    return text;
}

[[noreturn]] void Exec(std::string program, std::vector<std::string> args) {
    std::vector<char*> raw{program.data()};
    for (std::string& arg : args)
        raw.push_back(arg.data());
    raw.push_back(nullptr);
    ::execv(raw[0], raw.data());
    ::_exit(127);
}

int Wait(pid_t child, long* peakKb = nullptr) {
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    if (peakKb)
        *peakKb = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

enum class Read { Some, Ended, TimedOut };

// Reads what is there, or waits for it until `deadline`.
Read ReadSome(int fd, std::string& into, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        int polled = ::poll(&ready, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled == 0)
            return Read::TimedOut;
        char buffer[4096];
        ssize_t got = polled < 0 ? -1 : ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return Read::Ended;  // a terminal whose other side has closed reads as an error
        into.append(buffer, static_cast<std::size_t>(got));
        return Read::Some;
    }
}

// The terminal leaves canonical mode when the program's line editor starts reading.
// The settings of a pseudo-terminal pair are read from either side.
bool AwaitKeyByKey(int master, std::chrono::steady_clock::time_point deadline) {
    termios settings{};
    while (::tcgetattr(master, &settings) == 0 && (settings.c_lflag & ICANON)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

}  // namespace

std::vector<std::string> SimResult::Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> SimResult::LinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : Lines())
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

SimResult RunSim(const std::vector<std::string>& args, bool separateErrors) {
    // Files rather than pipes: nothing has to be read while the program runs.
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (!out || !err)
        throw std::runtime_error("no temporary file");
    pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
        ::dup2(::fileno(out), STDOUT_FILENO);
        ::dup2(::fileno(separateErrors ? err : out), STDERR_FILENO);
        Exec(TARNIK_SIM_PATH, args);
    }
    SimResult result;
    result.status = Wait(child, &result.peakKb);
    result.output = ReadAll(out);
    result.errors = ReadAll(err);
    return result;
}

SimResult RunSimOnTerminal(const std::vector<std::string>& args,
                           const std::vector<TerminalStep>& steps, const std::string& program) {
    int master = -1;
    winsize size{.ws_row = 24, .ws_col = 80, .ws_xpixel = 0, .ws_ypixel = 0};
    pid_t child = ::forkpty(&master, nullptr, nullptr, &size);  // the child's controlling terminal
    if (child < 0)
        throw std::runtime_error("no pseudo-terminal");
    if (child == 0) {
        ::setenv("TERM", "dumb", 1);
        Exec(program.empty() ? TARNIK_SIM_PATH : program, args);
    }

    SimResult result;
    std::size_t searchFrom = 0;
    Read read = Read::Some;
    for (const TerminalStep& step : steps) {
        const auto deadline = std::chrono::steady_clock::now() + kStepTimeout;
        std::size_t found = std::string::npos;
        while ((found = result.output.find(step.awaited, searchFrom)) == std::string::npos &&
               read == Read::Some)
            read = ReadSome(master, result.output, deadline);
        if (found == std::string::npos)
            break;
        searchFrom = found + step.awaited.size();
        if (step.keyByKey && !AwaitKeyByKey(master, deadline)) {
            read = Read::TimedOut;
            break;
        }
        if (::write(master, step.typed.data(), step.typed.size()) < 0)
            break;
    }
    const auto deadline = std::chrono::steady_clock::now() + kStepTimeout;
    while (read == Read::Some)
        read = ReadSome(master, result.output, deadline);
    if (read == Read::TimedOut)
        ::kill(child, SIGKILL);
    ::close(master);
    int status = Wait(child);
    result.status = read == Read::TimedOut ? -1 : status;
    return result;
}
