// Child-process runs of tarnik-sim for the tests: on pipes, or on a pseudo-terminal.
#include "tools/SimRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

constexpr auto kStepTimeout = std::chrono::seconds(60);

std::vector<std::string> Argv() {
    return {TARNIK_SIM_PATH};
}

[[noreturn]] void Exec(std::vector<std::string> argv) {
    std::vector<char*> raw;
    for (std::string& arg : argv)
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
    std::string line;
    while (std::getline(in, line))
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
    int out[2];
    int err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<std::string> argv = Argv();
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(separateErrors ? err[1] : out[1], STDERR_FILENO);
        for (int fd : {out[0], out[1], err[0], err[1]})
            ::close(fd);
        Exec(argv);
    }
    ::close(out[1]);
    ::close(err[1]);
    SimResult result;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* into[2] = {&result.output, &result.errors};
    for (int open = 2; open > 0;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
                continue;
            }
            into[i]->append(buffer, static_cast<std::size_t>(got));
        }
    }
    result.status = Wait(child, &result.peakKb);
    return result;
}

SimResult RunSimOnTerminal(const std::vector<std::string>& args,
                           const std::vector<TerminalStep>& steps, const std::string& program) {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    std::string terminal = ::ptsname(master);
    std::vector<std::string> argv = program.empty() ? Argv() : std::vector<std::string>{program};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        ::setsid();
        int slave = ::open(terminal.c_str(), O_RDWR);  // becomes the controlling terminal
        for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
            ::dup2(slave, fd);
        ::close(slave);
        ::close(master);
        ::setenv("TERM", "dumb", 1);
        winsize size{};
        size.ws_row = 24;
        size.ws_col = 80;
        ::ioctl(STDIN_FILENO, TIOCSWINSZ, &size);
        Exec(argv);
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
