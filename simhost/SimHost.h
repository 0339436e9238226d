// SimHost, the simulated plug-in host and game: the site and every host object a plug-in
// uses, a world with its server, the event loop, and what a test or a player does and sees.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Unknown.h"
#include "plugin/host/Plugin.h"
#include "simhost/EventLoop.h"
#include "simhost/HostSystem.h"
#include "simhost/ViewDescription.h"
#include "simhost/World.h"

namespace sim {

class CSimSite;
class CSimHooks;
class CSimWorldFilter;
class CSimCharacterStats;
class CSimEchoFilter;
class CSimView;

// Which host objects exist, for start-up failure tests.
struct HostOptions {
    bool worldFilter = true;     // "DecalFilters.World"
    bool characterStats = true;  // "DecalFilters.CharacterStats"
    bool echoFilter = true;      // "DecalFilters.EchoFilter2"
    bool hooks = true;           // the site's hooks object
    bool pluginSite1 = true;     // the site answers IPluginSite (PluginSite1)
    bool views = true;           // LoadView builds views (false: every load fails)
    // Listen to the plug-in's debugger output: without a listener it formats no trace.
    bool trace = true;
    // Keep every trace line for TraceLines (tests); otherwise lines only reach OnTrace,
    // and a long session's memory stays flat.
    bool keepTrace = true;
};

// A line the plug-in printed in a chat window.
struct ChatLine {
    std::string text;
    LONG color = 0;
    LONG window = 0;
};

// A text that reached the game: handed to the chat parser, or a chat line the player
// entered that no sink ate.
struct GameText {
    enum class Source { ChatParser, ChatLine };
    std::string text;
    Source source = Source::ChatParser;
};

struct MoveRequest {
    Millis at = 0;
    ObjectId item = 0;
    ObjectId container = 0;
    LONG slot = 0;
    bool merge = false;
    LONG split = 0;  // units split off by a preceding SetSplitCount, 0 for the whole item
};

struct UseRequest {
    Millis at = 0;
    ObjectId item = 0;
    ObjectId target = 0;
};

// A server message delivered through EchoFilter2, with its delivery time.
struct SentMessage {
    Millis at = 0;
    Message message;
};

// One host per process at a time: it installs the platform's timer, key-state and
// debugger-output backends while it lives. Everything runs on the caller's thread.
class SimHost {
  public:
    explicit SimHost(const WorldSetup& world, HostOptions options = {});
    ~SimHost();
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    // Starts again on `world` as a new host would, keeping the host objects, the plug-in
    // and its view: a new world in place, the clock at 0, no records, no selection, no
    // pending split, the chat line idle and every request answered. Only an idle host with
    // no live timers restarts (false otherwise, and nothing changes); fuzz targets reuse one
    // host this way.
    bool Restart(const WorldSetup& world);

    // ---- Clock and event loop
    EventLoop& Loop() { return loop_; }
    Millis Now() const { return loop_.Now(); }
    std::size_t Advance(Millis ms) { return loop_.Advance(ms); }
    [[nodiscard]] RunResult RunUntilIdle(RunBound bound = {}) { return loop_.RunUntilIdle(bound); }
    void SetRealtime(bool on) { loop_.SetRealtime(on); }

    // ---- World and server
    World& GetWorld() { return *world_; }
    const World& GetWorld() const { return *world_; }
    ObjectId Me() const { return world_->Character(); }
    // The id of the first object of that name; 0 when there is none.
    ObjectId IdOf(std::string_view name) const;
    void SetLatency(Millis ms) { world_->SetLatencyMs(ms); }
    Millis Latency() const { return world_->LatencyMs(); }
    // What the hooks answer to a move request: a failure code refuses it (nothing reaches
    // the server, nothing is recorded in Moves()).
    void SetMoveResult(HRESULT hr) { moveResult_ = hr; }
    // The same for a use request (UseItemOnTarget).
    void SetUseResult(HRESULT hr) { useResult_ = hr; }
    // While true the server takes requests and never answers them (a lost connection).
    void SetServerSilent(bool silent) { serverSilent_ = silent; }
    // Delivers a message through EchoFilter2 after `delayMs` (0: at once).
    void SendServerMessage(Message message, Millis delayMs = 0);

    // ---- The plug-in
    IPluginSite2* Site() const;
    // Calls plugin->Initialize(site) and keeps the plug-in until TerminatePlugin.
    HRESULT InitializePlugin(IPlugin2* plugin);
    // Calls Terminate and lets the plug-in go; S_FALSE when none is attached.
    HRESULT TerminatePlugin();
    IPlugin2* Plugin() const { return plugin_; }
    // The window-message sink the plug-in registered, or null.
    IWindowsMessageSink* MessageSink() const;

    // ---- What the player and the tests see
    const std::vector<ChatLine>& ChatLines() const;
    std::vector<std::string> ChatTexts() const;  // the texts of ChatLines
    const std::vector<GameText>& GameTexts() const;
    const std::vector<MoveRequest>& Moves() const;
    const std::vector<UseRequest>& Uses() const;
    const std::vector<ObjectId>& IdRequests() const;
    const std::vector<LONG>& SplitRequests() const;
    const std::vector<ObjectId>& SelectRequests() const;  // SelectItem calls by the plug-in
    ObjectId CurrentSelection() const;
    const std::vector<SentMessage>& SentMessages() const { return sent_; }
    const std::vector<ObjectId>& OpenedCorpses() const { return world_->OpenedCorpses(); }
    // Debugger output (the plug-in's trace), one entry per line written.
    const std::vector<std::string>& TraceLines() const { return trace_; }
    bool TraceContains(std::string_view fragment) const;
    // Whether the host can read the plug-in's debugger output on this system.
    bool TraceListened() const { return traceListened_; }
    // The host's own complaints (a refused view description, a refused move).
    const std::vector<std::string>& HostErrors() const { return errors_; }
    // Forgets every record above (the world stays as it is). A reader that shows the
    // records as they come calls it after each look, so that a long session keeps none.
    void ClearRecords();
    // Also called with every trace line, as it happens.
    void OnTrace(std::function<void(const std::string&)> callback) {
        traceCallback_ = std::move(callback);
    }

    // The most recently loaded view, its layout, and its controls by name (first wins).
    CSimView* View() const;
    const ControlState* Control(std::string_view name) const;

    // ---- What the player does
    // Enters a chat line; true when a sink ate it, else it reaches the game.
    bool EnterChat(std::string_view line);
    // Selects an object in the game (SelectedChanged reaches the plug-in).
    void Select(ObjectId id);
    // A key-down (or system-key-down) message with these modifiers held; true when eaten.
    bool KeyDown(int virtualKey, Modifiers held = {}, bool system = false);
    // While true the player is typing in the chat line (the hooks' chat state).
    void SetChatActive(bool active);
    // Panel actions by control name; false when no control of that name and kind exists.
    bool PressButton(std::string_view name);
    bool ChooseOption(std::string_view name, LONG index);
    bool ChooseOption(std::string_view name, std::string_view optionText);
    bool SetChecked(std::string_view name, bool checked);
    bool SetEditText(std::string_view name, std::string_view text);
    void ActivateView();
    // CharacterStats events; id 0 means the world's character.
    void FireCharacterKnown(ObjectId id = 0);
    void FireLoginComplete();
    // The player wears or takes off an item by hand: the server answers after the latency.
    void WearByHand(ObjectId item);
    void TakeOffByHand(ObjectId item, ObjectId container = 0, LONG slot = 0);
    // Objects on the ground; the World filter reports them created and released.
    ObjectId SpawnCorpse(std::string name, double distance);
    ObjectId Spawn(Item item);
    bool Despawn(ObjectId id);
    // The World filter reports an object created once more, as a host may repeat itself.
    void ReportCreatedAgain(ObjectId id);
    bool SetDistance(ObjectId id, double distance);

    // ---- Internals shared with the host's objects
    void RecordChat(ChatLine line);
    void RecordGameText(std::string text, GameText::Source source);
    HRESULT RequestMove(ObjectId item, ObjectId container, LONG slot, bool merge);
    HRESULT RequestUse(ObjectId item, ObjectId target);
    void RequestId(ObjectId item);
    void RequestSplit(LONG count);
    void RequestSelect(ObjectId id);
    bool ChatActive() const { return chatActive_; }
    void RegisterSink(IUnknown* plugin);
    // Forgets the window-message sink of that plug-in (after its Terminate).
    void UnregisterSink(IUnknown* plugin);
    HRESULT LoadView(std::string_view description, CSimView** view);
    void HostError(std::string text);

  private:
    void Deliver(const Outcome& outcome);
    void DeliverMessage(const Message& message);
    void Trace(const char* line);

    EventLoop loop_;
    std::shared_ptr<World> world_;
    // The world the last restart built, kept to be copied in place at the next restart on
    // the same setup (a copy reuses the objects' storage; building allocates them anew).
    std::optional<std::pair<WorldSetup, World>> restartedOn_;
    HostOptions options_;
    CComPtr<CSimSite> site_;
    CComPtr<CSimHooks> hooks_;
    CComPtr<CSimWorldFilter> worldFilter_;
    CComPtr<CSimCharacterStats> stats_;
    CComPtr<CSimEchoFilter> echo_;
    CComPtr<CSimView> view_;
    CComPtr<IPlugin2> plugin_;
    struct Sink {
        IUnknown* identity;  // the plug-in's IUnknown, only compared
        CComPtr<IWindowsMessageSink> sink;
    };
    std::vector<Sink> sinks_;

    ObjectId selection_ = 0;
    ObjectId splitItem_ = 0;
    LONG splitCount_ = 0;
    bool chatActive_ = false;
    HRESULT moveResult_ = S_OK;
    HRESULT useResult_ = S_OK;
    bool serverSilent_ = false;
    bool traceListened_ = false;

    std::vector<ChatLine> chat_;
    std::vector<GameText> gameTexts_;
    std::vector<MoveRequest> moves_;
    std::vector<UseRequest> uses_;
    std::vector<ObjectId> idRequests_;
    std::vector<LONG> splits_;
    std::vector<ObjectId> selects_;
    std::vector<SentMessage> sent_;
    std::vector<std::string> trace_;
    std::vector<std::string> errors_;
    std::function<void(const std::string&)> traceCallback_;
};

}  // namespace sim
