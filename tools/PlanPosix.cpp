// plan LINE: a dry run. The line runs in a child process, an exact copy of the game with
// the plug-in as it stands (its panel, its selection, a job under way), whose drives are a
// temporary folder holding a copy of the configuration file; the copy runs on the virtual
// clock until nothing is pending and reports what it did. The world, the configuration
// file and the clock of the session are never touched.
//
// A second host inside this process could not do the same: the module's pending-timer
// table, the timer backend and the debugger-output sink are one per process.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <system_error>

#include "Display.h"
#include "Session.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kOutputFile = "output.txt";
constexpr const char* kSummaryFile = "summary.txt";
constexpr const char* kDrivesFolder = "drives";

// What the copy did, as it writes it for the session.
struct PlanSummary {
    long long moves = 0;
    long long uses = 0;
    long long elapsedMs = 0;
    long long pending = 0;
    long long job = 0;
    long long awaited = 0;
};

std::string SummaryText(const PlanSummary& summary) {
    std::ostringstream text;
    text << summary.moves << ' ' << summary.uses << ' ' << summary.elapsedMs << ' '
         << summary.pending << ' ' << summary.job << ' ' << summary.awaited << '\n';
    return text.str();
}

std::optional<PlanSummary> ReadSummary(const fs::path& file) {
    std::ifstream in(file);
    PlanSummary summary;
    if (!(in >> summary.moves >> summary.uses >> summary.elapsedMs >> summary.pending >>
          summary.job >> summary.awaited))
        return std::nullopt;
    return summary;
}

// A folder of its own for one dry run, removed with this object.
class PlanFolder {
  public:
    PlanFolder() {
        std::error_code error;
        std::string pattern = (fs::temp_directory_path(error) / "tarnik-plan-XXXXXX").string();
        if (!error && ::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~PlanFolder() {
        std::error_code ignored;
        if (!path_.empty())
            fs::remove_all(path_, ignored);
    }
    PlanFolder(const PlanFolder&) = delete;
    PlanFolder& operator=(const PlanFolder&) = delete;
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

// The drives of the copy: the folders of the session's drives, and a copy of the
// configuration file at its place. Empty on success, else why not.
std::string CopyDrives(const fs::path& drives, const fs::path& configFile) {
    const fs::path root = DrivesRoot();
    fs::path relative = configFile.lexically_normal().lexically_relative(root.lexically_normal());
    if (relative.empty() || *relative.begin() == "..")
        return "the configuration file " + configFile.string() +
               " is outside the simulator's drives, so the copy could not be given its own";
    std::error_code error;
    fs::create_directories(drives / relative.parent_path(), error);
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error))
        if (it->is_directory())
            fs::create_directories(drives / it->path().lexically_relative(root), error);
    if (!error && fs::exists(configFile))
        fs::copy_file(configFile, drives / relative, error);
    if (error)
        return "cannot copy the configuration for the copy: " + error.message();
    return {};
}

}  // namespace

void Session::Plan(std::string_view args) {
    std::string line(args.substr(std::min(args.find_first_not_of(" \t"), args.size())));
    if (line.empty()) {
        Error(
            "usage: plan LINE (a chat line such as @tk title, or a command such as click "
            "pbCram)");
        return;
    }
    PlanFolder folder;
    if (folder.Path().empty()) {
        Error("plan: cannot make a temporary folder");
        return;
    }
    if (std::string why = CopyDrives(folder.Path() / kDrivesFolder, settings_.configFile);
        !why.empty()) {
        Error("plan: " + why);
        return;
    }

    Flush();
    std::fflush(nullptr);  // nothing printed so far may be printed again by the copy
    pid_t child = ::fork();
    if (child < 0) {
        Error("plan: cannot start the copy of the game");
        return;
    }
    if (child == 0)
        PlanInCopy(line, folder.Path());

    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    std::optional<PlanSummary> summary;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        summary = ReadSummary(folder.Path() / kSummaryFile);
    if (!summary) {
        Error("plan: the copy of the game stopped before it was done" +
              (WIFSIGNALED(status) ? " (signal " + std::to_string(WTERMSIG(status)) + ")"
                                   : std::string()));
        return;
    }

    std::ifstream output(folder.Path() / kOutputFile);
    bool failed = false;
    for (std::string text; std::getline(output, text);) {
        if (text.rfind("error: ", 0) == 0) {
            Error("plan: " + text.substr(7));
            failed = true;
        } else if (text.rfind("~ ", 0) != 0) {
            Print("plan: " + text);
        }
    }
    if (failed)
        return;
    std::string what = std::to_string(summary->moves) + (summary->moves == 1 ? " move" : " moves");
    if (summary->uses > 0)
        what += " and " + std::to_string(summary->uses) + (summary->uses == 1 ? " use" : " uses");
    std::string result = "plan: " + line + " makes " + what + " in " +
                         std::to_string(summary->elapsedMs) + " ms at a server latency of " +
                         std::to_string(host_->Latency()) + " ms";
    if (summary->pending > 0)
        result +=
            ", and stops there with " + std::to_string(summary->pending) + " events still pending";
    else if (summary->job != 0)
        result += ", and then job " + std::to_string(summary->job) + " still waits for " +
                  HexId(static_cast<sim::ObjectId>(summary->awaited));
    Print(result);
}

void Session::PlanInCopy(const std::string& line, const fs::path& folder) {
    // Whatever this copy prints goes to its output file, for the session to read.
    int output =
        ::open((folder / kOutputFile).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (output < 0)
        ::_exit(1);
    ::dup2(output, STDOUT_FILENO);
    ::dup2(output, STDERR_FILENO);
    ::setenv("TARNIK_DRIVES", (folder / kDrivesFolder).c_str(), 1);
    beforeOutput_ = nullptr;  // the terminal's prompt belongs to the session
    settings_.echo = false;
    settings_.trace = false;
    host_->SetRealtime(false);

    const long long movesBefore = movesRequested_;
    const long long usesBefore = usesRequested_;
    const sim::Millis start = host_->Now();
    Execute(line);
    constexpr std::size_t kMaxEvents = 100000;
    constexpr sim::Millis kMaxTime = 60 * 60 * 1000;
    for (std::size_t events = 0; !host_->Loop().Idle() && events < kMaxEvents &&
                                 *host_->Loop().NextDue() - start <= kMaxTime;
         ++events)
        RunOne(std::numeric_limits<sim::Millis>::max() / 4);

    PlanSummary summary;
    Flush();
    summary.moves = movesRequested_ - movesBefore;
    summary.uses = usesRequested_ - usesBefore;
    summary.elapsedMs = host_->Now() - start;
    summary.pending = static_cast<long long>(host_->Loop().Pending());
    if (auto job = QueryJob()) {
        summary.job = job->code;
        summary.awaited = job->awaited;
    }
    std::ofstream file(folder / kSummaryFile);
    file << SummaryText(summary);
    file.close();
    std::fflush(nullptr);
    ::_exit(file ? 0 : 1);
}
