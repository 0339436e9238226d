// The player's commands: what each reads from its line and asks of the host.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

#include "Display.h"
#include "KeyCombo.h"
#include "Session.h"
#include "simhost/HostObjects.h"

namespace {

std::string_view Trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == text.npos)
        return {};
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// "word  rest of line " -> {"word", " rest of line "}: only the one blank or tab after
// the word is taken, so that texts keep their own blanks.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == text.npos)
        return {};
    text.remove_prefix(first);
    std::size_t space = text.find_first_of(" \t");
    if (space == text.npos)
        return {text, {}};
    return {text.substr(0, space), text.substr(space + 1)};
}

// "word rest of line" -> {"word", "rest of line"}
std::pair<std::string_view, std::string_view> SplitFirst(std::string_view text) {
    text = Trim(text);
    std::size_t space = text.find_first_of(" \t");
    if (space == text.npos)
        return {text, {}};
    return {text.substr(0, space), Trim(text.substr(space))};
}

// "a name with blanks 12" -> {"a name with blanks", "12"}
std::pair<std::string_view, std::string_view> SplitLast(std::string_view text) {
    text = Trim(text);
    std::size_t space = text.find_last_of(" \t");
    if (space == text.npos)
        return {{}, text};
    return {Trim(text.substr(0, space)), text.substr(space + 1)};
}

std::optional<long long> Count(std::string_view text) {
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != text.npos)
        return std::nullopt;
    return std::strtoll(std::string(text).c_str(), nullptr, 10);
}

std::optional<double> ParseDistance(std::string_view text) {
    std::string copy(text);
    if (copy.empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(copy.c_str(), &end);
    if (errno != 0 || *end != '\0' || !(value >= 0.0) || value > std::numeric_limits<double>::max())
        return std::nullopt;
    return value;
}

std::optional<bool> OnOff(std::string_view text) {
    if (text == "on")
        return true;
    if (text == "off")
        return false;
    return std::nullopt;
}

}  // namespace

const std::vector<Session::Command>& Session::Commands() {
    static const std::vector<Command> commands{
        {"chat", "chat TEXT",
         "enter TEXT, as typed after one blank, in the chat line (a line that starts with @ or "
         "/ is a chat line too)",
         &Session::Chat},
        {"click", "click NAME", "press the push button NAME of the panel", &Session::Click},
        {"choose", "choose NAME INDEX", "select option INDEX (or the option of that text)",
         &Session::Choose},
        {"tick", "tick NAME on|off", "tick or clear the checkbox NAME", &Session::Tick},
        {"edit", "edit NAME TEXT",
         "set the text of the edit NAME to TEXT, as typed after one blank", &Session::Edit},
        {"activate", "activate", "activate the plug-in's view", &Session::Activate},
        {"select", "select ID|NAME", "select an object (by 0x... id, or the first of that name)",
         &Session::Select},
        {"key", "key COMBO", "press a key with modifiers held: key Ctrl+Alt+F5, key Shift+A",
         &Session::Key},
        {"chatinput", "chatinput on|off", "whether the game's chat line is active",
         &Session::ChatInput},
        {"wear", "wear ID|NAME", "wear an item by hand", &Session::Wear},
        {"takeoff", "takeoff ID|NAME PACK", "take an item off by hand into pack PACK",
         &Session::TakeOff},
        {"spawn", "spawn NAME DISTANCE", "a corpse appears on the ground", &Session::Spawn},
        {"despawn", "despawn ID|NAME", "an object on the ground disappears", &Session::Despawn},
        {"distance", "distance ID|NAME D", "the character walked: the object is D away",
         &Session::Distance},
        {"wait", "wait MS", "advance the clock by MS milliseconds", &Session::Wait},
        {"run", "run", "run until nothing is pending", &Session::Run},
        {"picture", "picture panel FILE",
         "draw the panel into FILE (SVG): its pages side by side, every control as it stands",
         &Session::Picture},
        {"plan", "plan LINE",
         "a dry run: the moves LINE (@tk title, click pbCram...) makes and the time it takes, "
         "tried on a copy of the game",
         &Session::Plan},
        {"show", "show WHAT",
         "pack N (0 main, 1..7 side pack in slot N-1), worn, packs, control NAME, panel, "
         "selection, job, file; world [FILE] (as a world file), item ID|NAME (what the "
         "plug-in reads and its sort keys), ground, clock",
         &Session::Show},
        {"login", "login", "the character logs in again", &Session::Login},
        {"logout", "logout", "end the session", &Session::Logout},
        {"quit", "quit", "end the session", &Session::Logout},
        {"help", "help", "this list", &Session::Help},
    };
    return commands;
}

bool Session::Execute(std::string_view line, std::string_view where) {
    where_ = std::string(where);
    std::string_view text = Trim(line);
    if (text.empty() || text[0] == '#')
        return !loggedOut_;
    if (settings_.echo)
        Print("> " + std::string(text));
    // Handlers get their arguments as typed, trailing blanks included: chat and edit
    // texts are the player's own.
    std::string_view typed = line.substr(line.find_first_not_of(" \t"));
    if (typed[0] == '@' || typed[0] == '/') {
        Chat(typed);
    } else {
        auto [name, args] = SplitWord(typed);
        const Command* found = nullptr;
        for (const Command& command : Commands())
            if (name == command.name)
                found = &command;
        if (found)
            (this->*found->handler)(args);
        else
            Error("unknown command \"" + std::string(name) + "\" (help lists the commands)");
    }
    // The plug-in may have armed a step timer the loop cannot see (Windows).
    if (host_)
        host_->Loop().NoteActivity();
    Flush();
    return !loggedOut_;
}

// ---------------------------------------------------------------- The panel and the chat

void Session::Chat(std::string_view args) {
    host_->EnterChat(args);
}

void Session::Click(std::string_view args) {
    if (!host_->PressButton(Trim(args)))
        Error("there is no push button named \"" + std::string(Trim(args)) + "\"");
}

void Session::Choose(std::string_view args) {
    auto [name, option] = SplitFirst(args);
    if (name.empty() || option.empty()) {
        Error("usage: choose NAME INDEX");
        return;
    }
    const sim::ControlState* control = host_->Control(name);
    if (!control || control->kind != sim::ControlKind::Choice) {
        Error("there is no choice named \"" + std::string(name) + "\"");
        return;
    }
    bool chosen = false;
    if (auto index = Count(option))
        chosen = *index <= std::numeric_limits<LONG>::max() &&
                 host_->ChooseOption(name, static_cast<LONG>(*index));
    else
        chosen = host_->ChooseOption(name, option);
    if (!chosen)
        Error(std::string(name) + " has no option \"" + std::string(option) + "\"");
}

void Session::Tick(std::string_view args) {
    auto [name, state] = SplitFirst(args);
    auto on = OnOff(state);
    if (name.empty() || !on) {
        Error("usage: tick NAME on|off");
        return;
    }
    if (!host_->SetChecked(name, *on))
        Error("there is no checkbox named \"" + std::string(name) + "\"");
}

void Session::Edit(std::string_view args) {
    auto [name, text] = SplitWord(args);
    if (name.empty()) {
        Error("usage: edit NAME TEXT");
        return;
    }
    if (!host_->SetEditText(name, text))
        Error("there is no edit named \"" + std::string(name) + "\"");
}

void Session::Activate(std::string_view) {
    host_->ActivateView();
}

// ---------------------------------------------------------------- The player in the game

void Session::Select(std::string_view args) {
    std::string_view target = Trim(args);
    if (target == "0" || target == "none") {
        host_->Select(0);
        return;
    }
    if (auto id = Resolve(target))
        host_->Select(*id);
}

void Session::Key(std::string_view args) {
    std::string_view text = Trim(args);
    auto combo = ParseKeyCombo(text);
    if (!combo) {
        Error("\"" + std::string(text) + "\" is not a key (for example A, F5, Ctrl+Alt+F5)");
        return;
    }
    bool eaten =
        host_->KeyDown(combo->virtualKey, sim::Modifiers{combo->shift, combo->ctrl, combo->alt},
                       IsSystemKey(*combo));
    Flush();
    Print("[key] " + std::string(text) + (eaten ? " eaten" : " passed to the game"));
}

void Session::ChatInput(std::string_view args) {
    auto on = OnOff(Trim(args));
    if (!on) {
        Error("usage: chatinput on|off");
        return;
    }
    host_->SetChatActive(*on);
}

void Session::Wear(std::string_view args) {
    if (auto id = Resolve(Trim(args)))
        host_->WearByHand(*id);
}

void Session::TakeOff(std::string_view args) {
    auto [target, packText] = SplitLast(args);
    if (target.empty()) {
        Error("usage: takeoff ID|NAME PACK");
        return;
    }
    auto id = Resolve(target);
    if (!id)
        return;
    const sim::World& world = host_->GetWorld();
    std::vector<sim::ObjectId> worn = world.Worn();
    if (std::find(worn.begin(), worn.end(), *id) == worn.end()) {
        Error(ItemLabel(world, *id) +
              " is not worn, so it cannot be taken off (show worn lists "
              "what is)");
        return;
    }
    auto pack = PackArgument(packText);
    if (!pack)
        return;
    sim::ObjectId container = PackContainer(world, *pack);
    host_->TakeOffByHand(*id, container, static_cast<LONG>(world.Contents(container).size()));
}

void Session::Spawn(std::string_view args) {
    auto [name, distanceText] = SplitLast(args);
    auto distance = ParseDistance(distanceText);
    if (name.empty() || !distance) {
        Error("usage: spawn NAME DISTANCE");
        return;
    }
    sim::ObjectId id = host_->SpawnCorpse(std::string(name), *distance);
    Flush();
    std::ostringstream text;
    text << "spawned " << name << " (" << HexId(id) << ") at " << *distance;
    Print(text.str());
}

void Session::Despawn(std::string_view args) {
    auto id = Resolve(Trim(args));
    if (!id)
        return;
    if (!host_->Despawn(*id))
        Error(HexId(*id) + " is not on the ground");
}

void Session::Distance(std::string_view args) {
    auto [target, distanceText] = SplitLast(args);
    auto distance = ParseDistance(distanceText);
    if (target.empty() || !distance) {
        Error("usage: distance ID|NAME D");
        return;
    }
    auto id = Resolve(target);
    if (id && !host_->SetDistance(*id, *distance))
        Error(HexId(*id) + " is not on the ground");
}

// ---------------------------------------------------------------- Time

void Session::Wait(std::string_view args) {
    auto ms = Count(Trim(args));
    if (!ms) {
        Error("usage: wait MS");
        return;
    }
    Elapse(*ms);
}

void Session::Run(std::string_view) {
    constexpr std::size_t kMaxEvents = 100000;
    constexpr sim::Millis kMaxTime = 60 * 60 * 1000;
    const sim::Millis start = host_->Now();
    std::size_t events = 0;
    while (!host_->Loop().Idle()) {
        if (events >= kMaxEvents || *host_->Loop().NextDue() - start > kMaxTime) {
            Print("run: stopped after " + std::to_string(events) + " events and " +
                  std::to_string(host_->Now() - start) + " ms with " +
                  std::to_string(host_->Loop().Pending()) + " still pending");
            return;
        }
        RunOne(std::numeric_limits<sim::Millis>::max() / 4);
        ++events;
    }
    auto job = QueryJob();
    if (job && job->code != 0)
        Print("run: job " + std::to_string(job->code) + " still waits for " + HexId(job->awaited) +
              ", and nothing pending will confirm it");
}

// ---------------------------------------------------------------- Looking

void Session::Show(std::string_view args) {
    auto [what, rest] = SplitFirst(args);
    if (ShowDetails(what, rest))
        return;
    const sim::World& world = host_->GetWorld();
    auto printAll = [this](const std::vector<std::string>& lines) {
        for (const std::string& line : lines)
            Print(line);
    };
    if (what == "pack") {
        if (auto pack = PackArgument(rest))
            printAll(PackLines(world, *pack));
    } else if (what == "worn") {
        printAll(WornLines(world));
    } else if (what == "packs") {
        printAll(PacksSummary(world));
    } else if (what == "control") {
        const sim::ControlState* control = host_->Control(rest);
        if (control)
            printAll(ControlLines(*control));
        else
            Error("there is no control named \"" + std::string(rest) + "\"");
    } else if (what == "panel") {
        if (host_->View())
            printAll(PanelLines(*host_->View()));
        else
            Error("the plug-in has no view");
    } else if (what == "selection") {
        sim::ObjectId id = host_->CurrentSelection();
        const sim::Object* object = id ? world.FindAny(id) : nullptr;
        Print(object ? "selected " + object->name + " (" + HexId(id) + ")" : "nothing selected");
    } else if (what == "job") {
        if (auto job = QueryJob())
            Print("job " + std::to_string(job->code) + " awaited " + HexId(job->awaited));
        else
            Error("the plug-in does not answer IsBusy");
    } else if (what == "file") {
        std::ifstream file(settings_.configFile, std::ios::binary);
        if (!file) {
            Print("file: " + settings_.configFile.string() + " (not written yet)");
            return;
        }
        Print("file: " + settings_.configFile.string());
        std::string line;
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            Print(line);
        }
    } else {
        Error(
            "show what? pack N, worn, packs, control NAME, panel, selection, job, file, world "
            "[FILE], item ID|NAME, ground or clock");
    }
}

// ---------------------------------------------------------------- The session

void Session::Login(std::string_view) {
    host_->FireCharacterKnown();
    host_->FireLoginComplete();
}

void Session::Logout(std::string_view) {
    loggedOut_ = true;
}

void Session::Help(std::string_view) {
    Print("Commands (one per line; a line starting with @ or / is a chat line):");
    for (const Command& command : Commands()) {
        std::string usage = command.usage;
        usage.resize(std::max<std::size_t>(usage.size() + 1, 22), ' ');
        Print("  " + usage + command.help);
    }
    Print("The server answers after its latency: \"run\" or \"wait\" lets it.");
    Print("\"show job\" asks the plug-in's IsBusy for the job code (its chat line is not shown)");
    Print("and names the item of the plug-in's last move request as the awaited item.");
    Print("\"show world FILE\" writes the world as it stands, to edit and load with --world;");
    Print("docs/WORLDS.md describes world files.");
    Print("docs/PLAYING.md is the player's guide to Tarnik!: every action, from the chat, the");
    Print("panel and a hotkey, and what it says when it ends or fails.");
}
