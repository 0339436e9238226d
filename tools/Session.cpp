// Session start-up and shut-down, the ordered output of what happened, and the plug-in's
// job as the host and the plug-in's automation interface tell it.
#include "Session.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "Display.h"
#include "platform/Bstr.h"
#include "platform/Text.h"
#include "plugin/Identity.h"
#include "plugin/Scheduler.h"

namespace {

constexpr std::string_view kJobAnswer = ":tk:Current job is: ";

// A message that quotes the player's text shows its control characters instead of
// letting a NUL end it or a line break split it.
std::string VisibleControls(std::string_view text) {
    std::string shown;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if ((byte < 0x20 && c != '\t') || byte == 0x7f) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", byte);
            shown += code;
        } else {
            shown += c;
        }
    }
    return shown;
}

void WriteLine(std::FILE* out, std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), out);
    std::fputc('\n', out);
    std::fflush(out);
}

}  // namespace

Session::Session(SessionSettings settings, std::FILE* out, std::FILE* err)
    : settings_(std::move(settings)), out_(out), err_(err) {}

Session::~Session() {
    Stop();
}

std::string Session::Start(const sim::WorldSetup& world) {
    try {
        sim::HostOptions options;
        // The plug-in formats its trace only for a listener, and a long session keeps
        // none of it.
        options.trace = settings_.trace;
        options.keepTrace = false;
        host_ = std::make_unique<sim::SimHost>(world, options);
    } catch (const std::exception& error) {
        return std::string("the world cannot be built: ") + error.what();
    }
    if (settings_.trace && !host_->TraceListened())
        WriteLine(err_,
                  "note: the plug-in's debugger output cannot be read here; a debugger shows it");
    if (settings_.latencyMs)
        host_->SetLatency(*settings_.latencyMs);
    host_->SetRealtime(settings_.realtime);
    host_->OnTrace([this](const std::string& line) { OnTrace(line); });

    loader_ = std::make_unique<sim::PluginLoader>(*host_);
    loader_->LoadAll();
    Flush();
    const sim::LoadedPlugin* tarnik = nullptr;
    for (const sim::LoadedPlugin& plugin : loader_->Plugins())
        if (plugin.clsid == CLSID_Tarnik)
            tarnik = &plugin;
    for (const std::string& why : loader_->Errors())
        Print("[host] " + why);
    if (!tarnik)
        return "the host found no Tarnik! plug-in in the registry";
    if (FAILED(tarnik->initResult))
        return "Tarnik!'s Initialize failed (" + HexText(tarnik->initResult) + ")";
    automation_ = ComQuery<IDispatch>(tarnik->plugin.get());

    host_->FireCharacterKnown();
    host_->FireLoginComplete();
    Flush();
    return {};
}

void Session::Stop() {
    // The automation reference goes first, so that the module can agree to be unloaded.
    automation_.Release();
    if (loader_) {
        loader_->UnloadAll();
        Flush();
    }
    loader_.reset();
    host_.reset();
}

void Session::Greet(bool live) {
    const sim::World& world = host_->GetWorld();
    Print("Welcome to the simulated game: Tarnik! is loaded and " + world.CharacterName() + " of " +
          world.ServerName() + " is logged in.");
    Print("Type \"@tk help\" for the plug-in's commands, \"show pack 0\" to see the main pack,");
    if (live) {
        Print("and \"help\" for everything you can do here. The game goes on in real time while");
        Print("you type: an action you start shows its moves as the server confirms them.");
    } else {
        Print("and \"help\" for everything you can do here. After an action starts, \"run\" lets");
        Print("the game answer until it is done.");
    }
}

// ---------------------------------------------------------------- Output

void Session::Print(const std::string& line) {
    if (beforeOutput_)
        beforeOutput_();
    WriteLine(out_, line);
}

void Session::Error(const std::string& text) {
    ++errors_;
    if (beforeOutput_)
        beforeOutput_();
    std::fflush(out_);
    WriteLine(err_, "error: " + where_ + VisibleControls(text));
}

void Session::OnTrace(const std::string& line) {
    // What the host recorded before this line happened before it.
    Flush();
    if (!settings_.trace)
        return;
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    Print("[trace] " + text);
}

void Session::PrintStack(const sim::World& world, const sim::Message& message) {
    auto item = static_cast<sim::ObjectId>(message.Field(FIELD_ITEM).value_or(0));
    const sim::Object* object = world.FindAny(item);
    std::string name = object ? object->name : HexId(item);
    int pack = object ? PackNumber(world, object->Container()) : -1;
    std::string where = pack >= 0 ? "pack " + std::to_string(pack) : "?";
    Print("~ stack " + name + " in " + where + " now x" +
          std::to_string(message.Field(FIELD_COUNT).value_or(0)));
}

namespace {

// A use of an item that can be worn, not worn yet, on the character: the server puts it on
// and confirms that with "WearItem".
bool IsPutOn(const sim::World& world, const sim::UseRequest& use) {
    const sim::Object* item = world.FindAny(use.item);
    std::vector<sim::ObjectId> worn = world.Worn();
    return item && item->type != TYPE_CORPSE && item->Int(KEY_EQUIPABLE) != 0 &&
           use.target == world.Character() &&
           std::find(worn.begin(), worn.end(), use.item) == worn.end();
}

}  // namespace

void Session::PrintUse(const sim::World& world, const sim::UseRequest& use) {
    const sim::Object* item = world.FindAny(use.item);
    const sim::Object* target = world.FindAny(use.target);
    std::string name = item ? item->name : HexId(use.item);
    if (item && item->type == TYPE_CORPSE)
        Print("~ open corpse " + name);
    else if (!IsPutOn(world, use))
        Print("~ use " + name + " on " + (target ? target->name : HexId(use.target)));
}

void Session::Flush() {
    if (!host_)
        return;
    const sim::World& world = host_->GetWorld();

    for (const sim::MoveRequest& move : host_->Moves()) {
        awaitingConfirmation_.insert(move.item);
        lastRequested_ = move.item;
        ++movesRequested_;
    }
    // A put-on the plug-in asks for is a use of the item on the character; the server
    // confirms it with "WearItem".
    for (const sim::UseRequest& use : host_->Uses()) {
        if (IsPutOn(world, use))
            awaitingConfirmation_.insert(use.item);
        lastRequested_ = use.item;
        ++usesRequested_;
        if (!settings_.quiet)
            PrintUse(world, use);
    }

    for (const sim::SentMessage& sent : host_->SentMessages()) {
        const sim::Message& message = sent.message;
        if (message.type == MSG_STACK_ADJUSTED) {
            // A merge answers with the changed stacks only: show them, or units would
            // vanish from a pack without a word.
            if (!settings_.quiet)
                PrintStack(world, message);
            continue;
        }
        if (message.type != MSG_GAME_EVENT)
            continue;
        auto event = message.Field(FIELD_EVENT);
        auto item = static_cast<sim::ObjectId>(message.Field(FIELD_ITEM).value_or(0));
        auto waiting = awaitingConfirmation_.find(item);
        if (waiting == awaitingConfirmation_.end())
            continue;  // the player's own doing, not a step of the plug-in
        awaitingConfirmation_.erase(waiting);
        if (settings_.quiet)
            continue;
        const sim::Object* object = world.FindAny(item);
        std::string name = object ? object->name : HexId(item);
        if (event == EVENT_INSERT_INV_ITEM) {
            auto container = static_cast<sim::ObjectId>(message.Field(FIELD_CONTAINER).value_or(0));
            int pack = PackNumber(world, container);
            std::string where = pack >= 0 ? "pack " + std::to_string(pack) : HexId(container);
            Print("~ move " + name + " -> " + where + " slot " +
                  std::to_string(object ? object->Slot() : -1));
        } else if (event == EVENT_WEAR_ITEM) {
            Print("~ wear " + name);
        }
    }

    for (const sim::ChatLine& line : host_->ChatLines()) {
        // IsBusy answers the job code in the chat as well: read it there, do not show it.
        if (readingJob_ && !jobAnswer_ && line.text.rfind(kJobAnswer, 0) == 0) {
            jobAnswer_ = std::strtol(line.text.c_str() + kJobAnswer.size(), nullptr, 10);
            continue;
        }
        Print("[" + ChatWindowName(line.window) + "] " + EscapeLineBreaks(line.text));
    }

    for (const sim::GameText& text : host_->GameTexts())
        Print("[game] " + EscapeLineBreaks(text.text));

    for (const std::string& complaint : host_->HostErrors())
        Print("[host] " + complaint);

    // Everything is shown: the host need not keep it.
    host_->ClearRecords();
}

// ---------------------------------------------------------------- Time and the job

bool Session::RunOne(sim::Millis limit) {
    sim::RunResult result = host_->RunUntilIdle(sim::RunBound{1, limit});
    Flush();
    return result.events == 1;
}

void Session::Elapse(sim::Millis ms) {
    const sim::Millis end = host_->Now() + ms;
    while (host_->Loop().NextDue() && *host_->Loop().NextDue() <= end)
        RunOne(end - host_->Now());
    host_->Advance(end - host_->Now());
    Flush();
}

std::optional<sim::Millis> Session::UntilNextEvent() const {
    std::optional<sim::Millis> due = host_->Loop().NextDue();
    if (!due)
        return std::nullopt;
    return std::max<sim::Millis>(0, *due - host_->Now());
}

void Session::CatchUp(sim::Millis ms) {
    if (host_->Loop().ClockRuns()) {
        Elapse(0);  // the game's clock went on by itself: run what fell due
        return;
    }
    host_->SetRealtime(false);
    Elapse(ms);
    host_->SetRealtime(settings_.realtime);
}

bool Session::ReportUnfinishedAction() {
    std::optional<JobState> job = QueryJob();
    if (!job || job->code == 0)
        return false;
    std::string text =
        std::string(JobName(job->code)) + " (job " + std::to_string(job->code) + ") still runs";
    if (job->awaited)
        text += ", awaiting " + ItemLabel(host_->GetWorld(), job->awaited);
    text += "; \"run\" before the end lets it finish";
    if (beforeOutput_)
        beforeOutput_();
    std::fflush(out_);
    WriteLine(err_, "unfinished: " + text);
    return true;
}

std::optional<JobState> Session::QueryJob() {
    if (!automation_)
        return std::nullopt;
    Flush();
    CComBSTR name("IsBusy");
    LPOLESTR names[] = {name.m_str};
    DISPID id = 0;
    if (FAILED(automation_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        return std::nullopt;
    DISPPARAMS none{};  // no arguments: a C struct on Windows, zeroed here
    VARIANT result;
    VariantInit(&result);
    readingJob_ = true;
    jobAnswer_.reset();
    HRESULT hr = automation_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                     &result, nullptr, nullptr);
    VariantClear(&result);
    Flush();
    readingJob_ = false;
    if (FAILED(hr) || !jobAnswer_)
        return std::nullopt;
    return JobState{*jobAnswer_, lastRequested_};
}

// ---------------------------------------------------------------- Arguments

std::optional<sim::ObjectId> Session::Resolve(std::string_view text, bool mustExist) {
    const sim::World& world = host_->GetWorld();
    if (text.empty()) {
        Error("an object id or name is missing");
        return std::nullopt;
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
        text.size() <= 10 && text.find_first_not_of("0123456789abcdefABCDEF", 2) == text.npos) {
        auto id = static_cast<sim::ObjectId>(std::strtoul(std::string(text).c_str(), nullptr, 16));
        if (mustExist && !world.Exists(id)) {
            Error("there is no object " + HexId(id));
            return std::nullopt;
        }
        return id;
    }
    if (auto id = world.FindByName(text))
        return *id;
    Error("there is no object named \"" + std::string(text) + "\"");
    return std::nullopt;
}

std::optional<int> Session::PackArgument(std::string_view text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '7') {
        int pack = text[0] - '0';
        if (PackContainer(host_->GetWorld(), pack))
            return pack;
        Error("there is no side pack in pack slot " + std::to_string(pack - 1) + " (pack " +
              std::to_string(pack) + ")");
        return std::nullopt;
    }
    Error("\"" + std::string(text) + "\" is not a pack number 0 to 7");
    return std::nullopt;
}
