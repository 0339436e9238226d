// SimHost: wires the world, the server, the event loop and the host objects together.
#include "simhost/SimHost.h"

#include <algorithm>

#include "plugin/host/HostEvents.h"
#include "simhost/HostObjects.h"
#include "simhost/HostSystem.h"

namespace sim {

namespace {

CComPtr<IUnknown> Identity(IUnknown* object) {
    return ComQuery<IUnknown>(object);
}
}  // namespace

SimHost::SimHost(const WorldSetup& world, HostOptions options)
    : world_(std::make_shared<World>(world)), options_(options) {
    hooks_ = MakeComObject<CSimHooks>(this);
    worldFilter_ = MakeComObject<CSimWorldFilter>(world_);
    stats_ = MakeComObject<CSimCharacterStats>(world_);
    echo_ = MakeComObject<CSimEchoFilter>();
    auto unknown = [](auto& object, bool present) {
        return present ? CComPtr<IUnknown>(Identity(static_cast<IUnknown*>(
                             static_cast<IConnectionPointContainer*>(object.get()))))
                       : CComPtr<IUnknown>();
    };
    site_ = MakeComObject<CSimSite>(
        this, options.pluginSite1,
        options.hooks ? CComPtr<IACHooks>(hooks_.get()) : CComPtr<IACHooks>(),
        unknown(worldFilter_, options.worldFilter), unknown(stats_, options.characterStats),
        unknown(echo_, options.echoFilter));
    HoldModifiers({});
    if (options.trace)
        traceListened_ = ListenToDebugOutput([this](const char* line) { Trace(line); });
}

SimHost::~SimHost() {
    TerminatePlugin();
    sinks_.clear();
    view_.Release();
    site_->Detach();
    hooks_->Detach();
    ListenToDebugOutput({});
    HoldModifiers({});
}

bool SimHost::Restart(const WorldSetup& world) {
    if (!loop_.Restart())
        return false;
    if (!restartedOn_ || restartedOn_->first != world)
        restartedOn_.emplace(world, World(world));
    *world_ = restartedOn_->second;  // in place: the host objects share it
    ClearRecords();
    selection_ = 0;
    splitItem_ = 0;
    splitCount_ = 0;
    chatActive_ = false;
    moveResult_ = S_OK;
    useResult_ = S_OK;
    serverSilent_ = false;
    HoldModifiers({});
    return true;
}

// ---------------------------------------------------------------- World and server

ObjectId SimHost::IdOf(std::string_view name) const {
    return world_->FindByName(name).value_or(0);
}

void SimHost::SendServerMessage(Message message, Millis delayMs) {
    if (delayMs <= 0) {
        DeliverMessage(message);
        return;
    }
    loop_.Post(delayMs, [this, message] { DeliverMessage(message); });
}

void SimHost::DeliverMessage(const Message& message) {
    sent_.push_back(SentMessage{Now(), message});
    echo_->Deliver(message);
}

// Objects made by the server exist before the messages that name them; objects that
// cease to exist are reported last, after the messages that explain why.
void SimHost::Deliver(const Outcome& outcome) {
    if (outcome.refused) {
        HostError(outcome.reason);
        return;
    }
    for (ObjectId id : outcome.created)
        worldFilter_->FireCreated(id);
    for (const Message& message : outcome.messages)
        DeliverMessage(message);
    for (ObjectId id : outcome.released)
        worldFilter_->FireReleased(id);
}

HRESULT SimHost::RequestMove(ObjectId item, ObjectId container, LONG slot, bool merge) {
    if (FAILED(moveResult_))
        return moveResult_;
    LONG split = splitItem_ == item ? splitCount_ : 0;
    splitItem_ = 0;
    splitCount_ = 0;
    moves_.push_back(MoveRequest{Now(), item, container, slot, merge, split});
    if (serverSilent_)
        return S_OK;
    loop_.Post(Latency(), [this, item, container, slot, merge, split] {
        Deliver(world_->Move(item, container, slot, merge, split));
    });
    return S_OK;
}

HRESULT SimHost::RequestUse(ObjectId item, ObjectId target) {
    if (FAILED(useResult_))
        return useResult_;
    uses_.push_back(UseRequest{Now(), item, target});
    if (serverSilent_)
        return S_OK;
    loop_.Post(Latency(), [this, item, target] { Deliver(world_->Use(item, target)); });
    return S_OK;
}

void SimHost::RequestId(ObjectId item) {
    idRequests_.push_back(item);
    loop_.Post(Latency(), [this, item] { world_->Identify(item); });
}

void SimHost::RequestSplit(LONG count) {
    splits_.push_back(count);
    splitItem_ = selection_;
    splitCount_ = count;
}

void SimHost::RequestSelect(ObjectId id) {
    selects_.push_back(id);
    selection_ = id;
}

// ---------------------------------------------------------------- The plug-in

IPluginSite2* SimHost::Site() const {
    return site_.get();
}

HRESULT SimHost::InitializePlugin(IPlugin2* plugin) {
    if (!plugin)
        return E_POINTER;
    plugin_ = plugin;
    return plugin->Initialize(site_.get());
}

HRESULT SimHost::TerminatePlugin() {
    if (!plugin_)
        return S_FALSE;
    CComPtr<IPlugin2> plugin = std::move(plugin_);
    HRESULT hr = plugin->Terminate();
    UnregisterSink(plugin);
    return hr;
}

IWindowsMessageSink* SimHost::MessageSink() const {
    return sinks_.empty() ? nullptr : sinks_.front().sink.get();
}

void SimHost::RegisterSink(IUnknown* plugin) {
    auto sink = ComQuery<IWindowsMessageSink>(plugin);
    if (!sink)
        return;
    CComPtr<IUnknown> identity = Identity(plugin);
    for (const Sink& known : sinks_)
        if (known.identity == identity.get())
            return;
    sinks_.push_back(Sink{identity.get(), sink});
}

void SimHost::UnregisterSink(IUnknown* plugin) {
    CComPtr<IUnknown> identity = Identity(plugin);
    std::erase_if(sinks_, [&](const Sink& known) { return known.identity == identity.get(); });
}

HRESULT SimHost::LoadView(std::string_view description, CSimView** view) {
    *view = nullptr;
    if (!options_.views) {
        HostError("LoadView refused: this host builds no views");
        return E_FAIL;
    }
    ViewParseResult parsed = ParseViewDescription(description);
    if (!parsed) {
        HostError("LoadView refused: " + parsed.error);
        return E_INVALIDARG;
    }
    view_ = MakeComObject<CSimView>(std::move(*parsed.layout));
    *view = view_.get();
    (*view)->AddRef();
    return S_OK;
}

// ---------------------------------------------------------------- Records

void SimHost::RecordChat(ChatLine line) {
    chat_.push_back(std::move(line));
}

void SimHost::RecordGameText(std::string text, GameText::Source source) {
    gameTexts_.push_back(GameText{std::move(text), source});
}

void SimHost::HostError(std::string text) {
    errors_.push_back(std::move(text));
}

void SimHost::Trace(const char* line) {
    // The callback gets its own copy: it may clear the records (ClearRecords).
    std::string text(line);
    if (options_.keepTrace)
        trace_.push_back(text);
    if (traceCallback_)
        traceCallback_(text);
}

const std::vector<ChatLine>& SimHost::ChatLines() const {
    return chat_;
}

std::vector<std::string> SimHost::ChatTexts() const {
    std::vector<std::string> texts;
    for (const ChatLine& line : chat_)
        texts.push_back(line.text);
    return texts;
}

const std::vector<GameText>& SimHost::GameTexts() const {
    return gameTexts_;
}
const std::vector<MoveRequest>& SimHost::Moves() const {
    return moves_;
}
const std::vector<UseRequest>& SimHost::Uses() const {
    return uses_;
}
const std::vector<ObjectId>& SimHost::IdRequests() const {
    return idRequests_;
}
const std::vector<LONG>& SimHost::SplitRequests() const {
    return splits_;
}
const std::vector<ObjectId>& SimHost::SelectRequests() const {
    return selects_;
}
ObjectId SimHost::CurrentSelection() const {
    return selection_;
}

bool SimHost::TraceContains(std::string_view fragment) const {
    return std::any_of(trace_.begin(), trace_.end(), [&](const std::string& line) {
        return line.find(fragment) != std::string::npos;
    });
}

void SimHost::ClearRecords() {
    chat_.clear();
    gameTexts_.clear();
    moves_.clear();
    uses_.clear();
    idRequests_.clear();
    splits_.clear();
    selects_.clear();
    sent_.clear();
    trace_.clear();
    errors_.clear();
}

CSimView* SimHost::View() const {
    return view_.get();
}

const ControlState* SimHost::Control(std::string_view name) const {
    SimControl* control = view_ ? view_->Find(name) : nullptr;
    return control ? &control->state : nullptr;
}

// ---------------------------------------------------------------- The player

bool SimHost::EnterChat(std::string_view line) {
    VARIANT_BOOL eat = VARIANT_FALSE;
    hooks_->Fire(host::DISPID_HOOKS_CHAT_TEXT, {MakeVariantBstr(line), MakeVariantBoolRef(&eat)});
    if (eat != VARIANT_FALSE)
        return true;
    RecordGameText(std::string(line), GameText::Source::ChatLine);
    return false;
}

void SimHost::Select(ObjectId id) {
    selection_ = id;
    hooks_->Fire(host::DISPID_HOOKS_SELECTED, {MakeVariantI4(static_cast<LONG>(id))});
}

bool SimHost::KeyDown(int virtualKey, Modifiers held, bool system) {
    HoldModifiers(held);
    bool eaten = false;
    std::vector<Sink> sinks = sinks_;  // a sink may unregister while it handles the key
    for (const Sink& sink : sinks) {
        VARIANT_BOOL eat = VARIANT_FALSE;
        sink.sink->WindowMessage(nullptr, system ? WM_SYSKEYDOWN : WM_KEYDOWN,
                                 static_cast<WPARAM>(virtualKey), 1, &eat);
        if (eat != VARIANT_FALSE) {
            eaten = true;
            break;
        }
    }
    HoldModifiers({});
    return eaten;
}

void SimHost::SetChatActive(bool active) {
    chatActive_ = active;
}

namespace {
SimControl* FindKind(CSimView* view, std::string_view name, ControlKind kind) {
    SimControl* control = view ? view->Find(name) : nullptr;
    return control && control->state.kind == kind ? control : nullptr;
}
}  // namespace

bool SimHost::PressButton(std::string_view name) {
    SimControl* button = FindKind(view_.get(), name, ControlKind::PushButton);
    if (!button)
        return false;
    button->FireEvent(host::DISPID_BUTTON_ACCEPTED, {MakeVariantI4(button->state.id)});
    return true;
}

bool SimHost::ChooseOption(std::string_view name, LONG index) {
    SimControl* choice = FindKind(view_.get(), name, ControlKind::Choice);
    if (!choice || index < 0 || index >= static_cast<LONG>(choice->state.options.size()))
        return false;
    choice->state.selected = index;
    choice->FireEvent(host::DISPID_CHOICE_CHANGE,
                      {MakeVariantI4(choice->state.id), MakeVariantI4(index)});
    return true;
}

bool SimHost::ChooseOption(std::string_view name, std::string_view optionText) {
    SimControl* choice = FindKind(view_.get(), name, ControlKind::Choice);
    if (!choice)
        return false;
    const auto& options = choice->state.options;
    auto it = std::find(options.begin(), options.end(), optionText);
    if (it == options.end())
        return false;
    return ChooseOption(name, static_cast<LONG>(it - options.begin()));
}

bool SimHost::SetChecked(std::string_view name, bool checked) {
    SimControl* box = FindKind(view_.get(), name, ControlKind::Checkbox);
    if (!box)
        return false;
    box->state.checked = checked;
    return true;
}

bool SimHost::SetEditText(std::string_view name, std::string_view text) {
    SimControl* edit = FindKind(view_.get(), name, ControlKind::Edit);
    if (!edit)
        return false;
    edit->state.text = std::string(text);
    return true;
}

void SimHost::ActivateView() {
    if (view_)
        view_->Activate();
}

void SimHost::FireCharacterKnown(ObjectId id) {
    stats_->Fire(host::DISPID_CHARACTER_KNOWN,
                 {MakeVariantI4(static_cast<LONG>(id ? id : world_->Character()))});
}

void SimHost::FireLoginComplete() {
    stats_->Fire(host::DISPID_CHARACTER_LOGIN);
}

void SimHost::WearByHand(ObjectId item) {
    loop_.Post(Latency(), [this, item] { Deliver(world_->Wear(item)); });
}

void SimHost::TakeOffByHand(ObjectId item, ObjectId container, LONG slot) {
    ObjectId into = container ? container : world_->Character();
    loop_.Post(Latency(),
               [this, item, into, slot] { Deliver(world_->Move(item, into, slot, false)); });
}

void SimHost::ReportCreatedAgain(ObjectId id) {
    worldFilter_->FireCreated(id);
}

ObjectId SimHost::SpawnCorpse(std::string name, double distance) {
    return Spawn(Item(std::move(name)).Type(TYPE_CORPSE).Distance(distance));
}

ObjectId SimHost::Spawn(Item item) {
    ObjectId id = world_->Spawn(std::move(item));
    worldFilter_->FireCreated(id);
    return id;
}

bool SimHost::Despawn(ObjectId id) {
    if (!world_->Despawn(id))
        return false;
    worldFilter_->FireReleased(id);
    return true;
}

bool SimHost::SetDistance(ObjectId id, double distance) {
    return world_->SetDistance(id, distance);
}

}  // namespace sim
