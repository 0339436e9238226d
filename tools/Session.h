// Session: one player's seat at the simulated game with the plug-in loaded. It runs the
// player's commands and prints, in order, everything the plug-in and the game showed.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dispatch.h"
#include "simhost/PluginLoader.h"
#include "simhost/SimHost.h"

struct SessionSettings {
    bool trace = false;     // print the plug-in's debugger output
    bool quiet = false;     // no progress lines
    bool echo = false;      // repeat each command before its output
    bool realtime = false;  // the clock follows real time
    std::optional<long long> latencyMs;
    std::filesystem::path configFile;  // the plug-in's sortconfig.xml
};

// The plug-in's job as "show job" prints it.
struct JobState {
    long code = 0;
    sim::ObjectId awaited = 0;
};

class Session {
  public:
    // Output goes to `out`, error messages to `err`.
    Session(SessionSettings settings, std::FILE* out, std::FILE* err = stderr);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Starts the host on the world, loads the registered plug-ins the way the real host
    // does, and logs the character in. Empty on success, else why Tarnik! did not start.
    [[nodiscard]] std::string Start(const sim::WorldSetup& world);
    // Terminates the plug-ins and the host; also done by the destructor.
    void Stop();

    // Runs one command line; `where` prefixes its error messages ("line 3: ").
    // False once the player has logged out.
    bool Execute(std::string_view line, std::string_view where = {});

    // `live`: the game goes on while the prompt waits.
    void Greet(bool live = false);
    std::size_t Errors() const { return errors_; }

    // Live play. How long until the next event is due on the game's clock, or nothing
    // when no event is queued.
    std::optional<sim::Millis> UntilNextEvent() const;
    // Time that has passed in the real world while the prompt waited: the game catches up
    // event by event without waiting again.
    void CatchUp(sim::Millis ms);
    // Called before each line the session prints, so that a prompt can make way for it.
    void OnOutput(std::function<void()> beforeLine) { beforeOutput_ = std::move(beforeLine); }

    // At the end of the session: when the plug-in still runs an action, says so on the
    // error output, naming the job and the item it awaits, and returns true.
    bool ReportUnfinishedAction();
    const sim::SimHost& Host() const { return *host_; }

  private:
    using Handler = void (Session::*)(std::string_view args);
    struct Command {
        const char* name;
        const char* usage;
        const char* help;
        Handler handler;
    };
    static const std::vector<Command>& Commands();

    // Output, in the order things happened.
    void Print(const std::string& line);
    void Error(const std::string& text);
    // Prints what the host recorded since the last call: confirmed moves, uses, chat
    // lines, texts the game received, and the host's complaints; then lets the host forget
    // them, so that a long session's memory stays flat.
    void Flush();
    // One line for a use the plug-in asked for, or nothing for a put-on ("~ wear" follows
    // when the server confirms it).
    void PrintUse(const sim::World& world, const sim::UseRequest& use);
    // One line for a stack whose count the server changed.
    void PrintStack(const sim::World& world, const sim::Message& message);
    void OnTrace(const std::string& line);

    // Time.
    bool RunOne(sim::Millis limit);
    // Lets `ms` pass on the game's clock, one event at a time so that what each one shows
    // is printed in order.
    void Elapse(sim::Millis ms);
    // The plug-in's job code through its automation property IsBusy, and the item of its
    // last move request. Empty when the plug-in cannot be asked.
    std::optional<JobState> QueryJob();

    // Arguments.
    std::optional<sim::ObjectId> Resolve(std::string_view text, bool mustExist = true);
    std::optional<int> PackArgument(std::string_view text);

    // Commands.
    void Chat(std::string_view args);
    void Click(std::string_view args);
    void Choose(std::string_view args);
    void Tick(std::string_view args);
    void Edit(std::string_view args);
    void Activate(std::string_view args);
    void Select(std::string_view args);
    void Key(std::string_view args);
    void ChatInput(std::string_view args);
    void Wear(std::string_view args);
    void TakeOff(std::string_view args);
    void Spawn(std::string_view args);
    void Despawn(std::string_view args);
    void Distance(std::string_view args);
    void Wait(std::string_view args);
    void Run(std::string_view args);
    void Show(std::string_view args);
    // show world [FILE], item ID|NAME, ground, clock (Inspect.cpp); false for anything else.
    bool ShowDetails(std::string_view what, std::string_view rest);
    void Login(std::string_view args);
    void Logout(std::string_view args);
    void Help(std::string_view args);
    // picture panel FILE (Inspect.cpp): the panel drawn as SVG.
    void Picture(std::string_view args);
    // plan LINE (PlanPosix.cpp): the line runs in a copy of the game; prints what it did.
    // Not available on Windows (PlanWindows.cpp).
    void Plan(std::string_view args);
    // The copy's side: runs the line, writes its output and summary into `folder`, exits.
    [[noreturn]] void PlanInCopy(const std::string& line, const std::filesystem::path& folder);

    SessionSettings settings_;
    std::FILE* out_;
    std::FILE* err_;
    std::function<void()> beforeOutput_;
    std::unique_ptr<sim::SimHost> host_;
    std::unique_ptr<sim::PluginLoader> loader_;
    CComPtr<IDispatch> automation_;
    std::string where_;
    std::size_t errors_ = 0;
    bool loggedOut_ = false;

    // Move and use requests of the plug-in so far (the host forgets them once printed).
    long long movesRequested_ = 0;
    long long usesRequested_ = 0;
    // While the plug-in's IsBusy runs: its chat answer is read here and not shown.
    bool readingJob_ = false;
    std::optional<long> jobAnswer_;
    // Items the plug-in asked the server to move, until their arrival is confirmed.
    std::multiset<sim::ObjectId> awaitingConfirmation_;
    sim::ObjectId lastRequested_ = 0;
};
