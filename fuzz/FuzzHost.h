// What the in-host fuzz targets share: the plug-in, created from the core, inside a
// simulated host, logged in with its configuration file in a private folder that each
// input starts without.
//
// Starting a host and a plug-in costs many times what most inputs do, so one seat serves
// every input of a process: between inputs it is reset to what a fresh one would be (the
// world, the host's clock and records, the panel's controls, every field of the plug-in
// an input may change, the files) just after the character's login. An input that leaves
// the game busy gets a fresh seat instead. Every so many inputs (every input when the
// seeds and crashes are replayed) the state after a reset is compared with a fresh
// seat's, and the input is played again on that fresh seat and must do the same.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "Check.h"
#include "config/ConfigPath.h"
#include "config/ConfigWriter.h"
#include "config/XmlDocument.h"
#include "plugin/Tarnik.h"
#include "simhost/HostObjects.h"
#include "simhost/SimHost.h"
#include "simhost/WorldFile.h"

namespace fuzz {

// The folder of this process's configuration file; removed at exit.
inline const std::filesystem::path& ConfigFolder() {
    struct Folder {
        std::filesystem::path path;
        Folder() {
            // In memory where the system offers it: every save syncs the file.
            std::error_code error;
            std::filesystem::path base = "/dev/shm";
            if (!std::filesystem::is_directory(base, error))
                base = std::filesystem::temp_directory_path();
            path = base / ("tarnik-fuzz-" + std::to_string(::getpid()));
            std::filesystem::create_directories(path);
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

inline void EmptyConfigFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(ConfigFolder(), ignored))
        std::filesystem::remove_all(entry.path(), ignored);
}

// Every field of the plug-in that an input may change, paired with its namesake in
// `from`. The host objects and controls bound at start-up, the event sinks and the
// configuration document (which a login loads anew) are not among them; PluginLayoutCovered
// checks that nothing else is left out.
template <class Visit>
void ForEachSessionField(CTarnik& to, CTarnik& from, Visit&& visit) {
#define TARNIK_FUZZ_FIELD(name) visit(to.name, from.name)
    TARNIK_FUZZ_FIELD(m_Log);
    TARNIK_FUZZ_FIELD(m_Me);
    TARNIK_FUZZ_FIELD(m_SortPack);
    TARNIK_FUZZ_FIELD(m_SelectedPack);
    TARNIK_FUZZ_FIELD(m_SelectedObject);
    TARNIK_FUZZ_FIELD(m_StripKind);
    TARNIK_FUZZ_FIELD(m_Job);
    TARNIK_FUZZ_FIELD(m_OutputWindow);
    TARNIK_FUZZ_FIELD(m_AwaitedItem);
    TARNIK_FUZZ_FIELD(m_ConfirmationDeadline);
    TARNIK_FUZZ_FIELD(m_FirstStep);
    TARNIK_FUZZ_FIELD(m_CharacterKey);
    TARNIK_FUZZ_FIELD(m_CharacterPath);
    TARNIK_FUZZ_FIELD(m_ItemPath);
    TARNIK_FUZZ_FIELD(m_ProfilePath);
    TARNIK_FUZZ_FIELD(m_OutputWindowName);
    TARNIK_FUZZ_FIELD(m_CannotPin);
    TARNIK_FUZZ_FIELD(m_SortLast);
    TARNIK_FUZZ_FIELD(m_SortType);
    TARNIK_FUZZ_FIELD(m_SortRereads);
    TARNIK_FUZZ_FIELD(m_SortMoved);
    TARNIK_FUZZ_FIELD(m_PackMissingShown);
    TARNIK_FUZZ_FIELD(m_Recording);
    TARNIK_FUZZ_FIELD(m_HotkeyCapture);
    TARNIK_FUZZ_FIELD(m_Stripping);
    TARNIK_FUZZ_FIELD(m_Initialized);
    TARNIK_FUZZ_FIELD(m_SaveFailureShown);
    TARNIK_FUZZ_FIELD(m_EquipPos);
    TARNIK_FUZZ_FIELD(m_MoveRemaining);
    TARNIK_FUZZ_FIELD(m_MergeMoves);
    TARNIK_FUZZ_FIELD(m_MergeBudget);
    TARNIK_FUZZ_FIELD(m_MergeTarget);
    TARNIK_FUZZ_FIELD(m_SortMoves);
    TARNIK_FUZZ_FIELD(m_AllSortPacks);
    TARNIK_FUZZ_FIELD(m_MoveFrom);
    TARNIK_FUZZ_FIELD(m_MoveTo);
    TARNIK_FUZZ_FIELD(m_PendingHotCommand);
    TARNIK_FUZZ_FIELD(m_Actions);
    TARNIK_FUZZ_FIELD(m_PackConfig);
    TARNIK_FUZZ_FIELD(m_Corpses);
    TARNIK_FUZZ_FIELD(m_SortEntries);
    TARNIK_FUZZ_FIELD(m_Pins);
    TARNIK_FUZZ_FIELD(m_Failures);
    TARNIK_FUZZ_FIELD(m_Hotkeys);
    TARNIK_FUZZ_FIELD(m_HotCommands);
    TARNIK_FUZZ_FIELD(m_EquipList);
    TARNIK_FUZZ_FIELD(m_PackList);
#undef TARNIK_FUZZ_FIELD
}

// True when the fields above and the ones a reset keeps cover the whole object from its
// first field on, each field where the one before it ends but for its alignment: a field
// added to CTarnik and not to ForEachSessionField fails this, unless it is small enough to
// sit in the padding before a field of stricter alignment (then only the comparison with a
// fresh seat can catch it).
inline bool PluginLayoutCovered(CTarnik& plugin) {
    struct Span {
        std::size_t offset, size, align;
        bool operator<(const Span& other) const { return offset < other.offset; }
    };
    std::vector<Span> spans;
    auto add = [&](const auto& field) {
        spans.push_back({static_cast<std::size_t>(reinterpret_cast<const char*>(&field) -
                                                  reinterpret_cast<const char*>(&plugin)),
                         sizeof(field), alignof(std::remove_cvref_t<decltype(field)>)});
    };
    add(plugin.m_pOuter);
    add(plugin.m_pSite1);
    add(plugin.m_pView);
    add(plugin.m_pSite);
    add(plugin.m_pHooks);
#define TARNIK_CONTROL(id, name, Kind) add(plugin.m_##name);
#include "plugin/Controls.def"
    add(plugin.m_pWorld);
    add(plugin.m_pCharStats);
    add(plugin.m_pEcho);
    add(plugin.m_ConfigDoc);
    add(plugin.m_Sinks);
    add(plugin.m_TypeInfo);  // looked up once, at the first late-bound call
    add(plugin.m_TypeInfoLooked);
    ForEachSessionField(plugin, plugin, [&](const auto& field, const auto&) { add(field); });
    std::sort(spans.begin(), spans.end());
    auto alignUp = [](std::size_t at, std::size_t align) {
        return (at + align - 1) / align * align;
    };
    std::size_t end = spans.front().offset;
    for (const Span& span : spans) {
        if (span.offset != alignUp(end, span.align))
            return false;
        end = span.offset + span.size;
    }
    return sizeof(CTarnik) == alignUp(end, alignof(CTarnik));
}

// Field-by-field equality for the plug-in's own records, which define no comparison.
template <class T>
bool Same(const T& a, const T& b);
inline bool SameRecord(const SortEntry& a, const SortEntry& b) {
    return std::tie(a.id, a.slot, a.key) == std::tie(b.id, b.slot, b.key);
}
inline bool SameRecord(const EquipAction& a, const EquipAction& b) {
    return std::tie(a.action, a.item, a.name) == std::tie(b.action, b.item, b.name);
}
inline bool SameRecord(const Corpse& a, const Corpse& b) {
    return std::tie(a.id, a.views, a.distance) == std::tie(b.id, b.views, b.distance);
}
inline bool SameRecord(const CLog& a, const CLog& b) {
    return a.Threshold() == b.Threshold();
}
template <class T>
bool SameRecord(const std::optional<T>& a, const std::optional<T>& b) {
    return a.has_value() == b.has_value() && (!a || Same(*a, *b));
}
template <class T>
bool SameRecord(const std::vector<T>& a, const std::vector<T>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const T& x, const T& y) { return Same(x, y); });
}
template <class K, class V>
bool SameRecord(const std::map<K, V>& a, const std::map<K, V>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.first == y.first && Same(x.second, y.second);
    });
}
template <class T>
bool Same(const T& a, const T& b) {
    if constexpr (requires { SameRecord(a, b); })
        return SameRecord(a, b);
    else
        return a == b;
}

inline bool SameControl(const sim::ControlState& a, const sim::ControlState& b) {
    auto fields = [](const sim::ControlState& c) {
        return std::tie(c.kind, c.progid, c.id, c.name, c.page, c.text, c.textColor, c.options,
                        c.selected, c.checked, c.attributes);
    };
    return fields(a) == fields(b);
}

// The files of the configuration folder, name and bytes.
inline std::map<std::string, std::string> ConfigFiles() {
    std::map<std::string, std::string> files;
    std::error_code ignored;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(ConfigFolder(), ignored)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().lexically_relative(ConfigFolder()).string()] = {
            std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    return files;
}

// A file of the configuration folder, by its path, with the bytes it should hold.
struct ConfigFile {
    std::string path;
    std::string bytes;
};

// True when the file at `path` holds exactly `bytes`; read without allocating.
inline bool Holds(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    struct stat info {};
    bool same = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                static_cast<std::size_t>(info.st_size) == bytes.size();
    char buffer[4096];
    for (std::size_t at = 0; same && at < bytes.size();) {
        const ::ssize_t got = ::read(fd, buffer, sizeof buffer);
        same = got > 0 && bytes.substr(at, static_cast<std::size_t>(got)) ==
                              std::string_view(buffer, static_cast<std::size_t>(got));
        at += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    ::close(fd);
    return same;
}

// Puts the configuration folder back to holding exactly `files`, touching only what
// differs: most inputs leave the folder as they found it, and rewriting it every time
// would cost more than many an input.
inline void RestoreConfigFolder(const std::vector<ConfigFile>& files) {
    static const std::string folder = ConfigFolder().string() + '/';
    if (DIR* dir = ::opendir(ConfigFolder().c_str())) {
        std::vector<std::string> extra;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            if (std::none_of(files.begin(), files.end(), [&](const ConfigFile& file) {
                    return std::string_view(file.path).substr(folder.size()) == name;
                }))
                extra.emplace_back(folder + entry->d_name);
        }
        ::closedir(dir);
        std::error_code ignored;
        for (const std::string& path : extra)
            std::filesystem::remove_all(path, ignored);
    }
    for (const ConfigFile& file : files) {
        if (Holds(file.path, file.bytes))
            continue;
        std::error_code ignored;
        std::filesystem::remove_all(file.path, ignored);  // a folder in its place, say
        std::ofstream(file.path, std::ios::binary)
            .write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
    }
}

// The demo world's character with fewer things: a sort, a store or a corpse walk re-reads
// the inventory at every step, and every kind of item, pack, stack, worn item and corpse
// that steers the plug-in is there once or twice; more of them only make each input slower.
inline sim::WorldSetup SmallWorld() {
    using sim::Item;
    constexpr LONG kArmor = 2, kMissile = 8, kComponent = 11, kPotion = 30, kGem = 32;
    constexpr LONG kHead = 0x1, kChest = 0x200, kRing = 0x40000, kWeaponHand = 0x100000;
    sim::WorldBuilder world;
    world.Server("Blue Hill").Character("Sir O'Neil (Jr)", 0x50000001).Latency(120);
    world.Main({
        Item("Arrow").Type(kMissile).Stack(40, 250).Value(40).Burden(40),
        Item("Gold Ring").Type(TYPE_JEWELRY).Value(1200).Material(5).Quality(7.5).Equipable(kRing),
        Item("Iron Sword").Type(TYPE_WEAPON).Value(900).Burden(350).Equipable(kWeaponHand),
        Item("Healing Kit").Type(TYPE_HEALING_KIT).KitUses(8).Value(100).Burden(30),
        Item("Prismatic Taper").Type(kComponent).Stack(75, 1000).Value(150).Burden(75),
        Item("Stamina Elixir").Type(kPotion).Stack(3, 10).Value(150).Burden(15),
        Item("Arrow").Type(kMissile).Stack(25, 250).Value(25).Burden(25),
        Item("Chainmail Hauberk").Type(kArmor).Value(1800).Burden(1300).Equipable(kChest),
        Item("Mana Stone").Type(kGem).Value(300).Burden(10),
        Item("Pyreal Chunk").Type(0).Value(-1).Burden(25),
        Item("Foci of Light").Type(kGem).Value(4000).Burden(50),
    });
    world.SidePack("Backpack", 0, 4,
                   {Item("Arrow").Type(kMissile).Stack(180, 250).Value(180).Burden(180)});
    world.SidePack("Pouch", 1, 24,
                   {Item("Prismatic Taper").Type(kComponent).Stack(200, 1000).Value(400)});
    world.SidePack("Sack", 2, 24);
    world.Worn(Item("Leather Cap").Type(kArmor).Value(120).Equipable(kHead).Identified(false))
        .Worn(Item("Chain Shirt").Type(kArmor).Value(900).Equipable(kChest))
        .Worn(Item("Long Sword").Type(TYPE_WEAPON).Value(1400).Equipable(kWeaponHand));
    world.Ground(Item("Corpse of Grey Wolf").Type(TYPE_CORPSE).Distance(5.0))
        .Ground(Item("Corpse of Banderling").Type(TYPE_CORPSE).Distance(30.0));
    return world.Setup();
}

// One host and plug-in, logged in, with no configuration file left by an earlier input.
class Seat {
  public:
    explicit Seat(const sim::WorldSetup& world = sim::DemoWorld()) {
        EmptyConfigFolder();
        g_ConfigPath = (ConfigFolder() / "sortconfig.xml").string();
        ::setenv("TARNIK_DRIVES", (ConfigFolder() / "drives").c_str(), 1);

        sim::HostOptions options;
        options.trace = false;
        options.keepTrace = false;
        host_ = std::make_unique<sim::SimHost>(world, options);
        plugin_ = CreateTarnik();
        Check(plugin_ != nullptr, "the plug-in is created");
        Check(SUCCEEDED(host_->InitializePlugin(plugin_.get())), "the plug-in starts");
        // What a reset returns to: the plug-in's fields and the panel as start-up left them.
        started_ = CreateTarnik();
        ForEachSessionField(*started_, *plugin_, [](auto& to, auto& from) { to = from; });
        for (const sim::SimControl* control : host_->View()->Controls())
            controls_.push_back(control->state);
        LogIn(world);
    }
    ~Seat() {
        host_->TerminatePlugin();
        plugin_.Release();
    }
    Seat(const Seat&) = delete;
    Seat& operator=(const Seat&) = delete;

    sim::SimHost& Host() { return *host_; }
    CTarnik& Plugin() { return *plugin_; }

    // Lets the game and the plug-in run for up to a virtual hour.
    void Run() { (void)host_->RunUntilIdle(); }

    // Back to a fresh seat on `world`, logged in; false, with nothing reset, while the game
    // is still busy (a step or an answer pending). A login of the same character leaves the
    // same fields, panel, document and files every time, so after the first one it is
    // restored from what that one left instead of being run again.
    bool Reset(const sim::WorldSetup& world) {
        if (!host_->Restart(world))
            return false;
        const bool sameCharacter = login_ && login_->character == Character(world);
        ForEachSessionField(*plugin_, sameCharacter ? *login_->fields : *started_,
                            [](auto& to, auto& from) { to = from; });
        RestoreControls(sameCharacter ? login_->controls : controls_);
        if (!sameCharacter) {
            EmptyConfigFolder();
            LogIn(world);
            return true;
        }
        Check(static_cast<bool>(plugin_->m_ConfigDoc->LoadText(login_->document)),
              "the document a login left loads again");
        plugin_->m_ConfigDoc->SetUnsavedChanges(false);
        RestoreConfigFolder(login_->files);
        return true;
    }

    // Where a reused seat and a fresh one may differ: the plug-in's fields, its
    // configuration document, the panel, the world, the host's clock, queue and records,
    // and the files.
    struct State {
        CComPtr<CTarnik> fields;  // never started: a copy of the plug-in's fields
        std::string document;
        bool unsaved = false;
        std::vector<sim::ControlState> controls;
        sim::WorldSetup world;
        std::vector<sim::ObjectId> opened;
        std::tuple<sim::Millis, std::size_t, std::size_t, sim::ObjectId> host;
        std::string transcript;
        std::map<std::string, std::string> files;
    };
    State Take() {
        State state;
        state.fields = CreateTarnik();
        ForEachSessionField(*state.fields, *plugin_, [](auto& to, auto& from) { to = from; });
        state.document = ConfigFileText(*plugin_->m_ConfigDoc);
        state.unsaved = plugin_->m_ConfigDoc->HasUnsavedChanges();
        for (const sim::SimControl* control : host_->View()->Controls())
            state.controls.push_back(control->state);
        state.world = sim::CurrentSetup(host_->GetWorld());
        state.opened = host_->OpenedCorpses();
        state.host = {host_->Now(), host_->Loop().Pending(), host_->Loop().LiveTimers(),
                      host_->CurrentSelection()};
        state.transcript = Transcript(*host_);
        state.files = ConfigFiles();
        return state;
    }
    // What differs between two states; empty when nothing does.
    static std::string Difference(const State& a, const State& b) {
        std::string differs;
        auto note = [&](bool same, const char* what) {
            if (!same)
                differs += std::string(differs.empty() ? "" : ", ") + what;
        };
        bool fields = true;
        ForEachSessionField(*a.fields, *b.fields,
                            [&](const auto& x, const auto& y) { fields = fields && Same(x, y); });
        note(fields, "the plug-in's fields");
        note(a.document == b.document && a.unsaved == b.unsaved, "the configuration document");
        note(std::equal(a.controls.begin(), a.controls.end(), b.controls.begin(), b.controls.end(),
                        SameControl),
             "the panel");
        note(a.world == b.world && a.opened == b.opened, "the world");
        note(a.host == b.host, "the host's clock, queue or selection");
        note(a.transcript == b.transcript, "what the host recorded");
        note(a.files == b.files, "the files");
        return differs;
    }

    // Everything the host recorded, as one text.
    static std::string Transcript(sim::SimHost& host) {
        std::ostringstream out;
        for (const sim::ChatLine& line : host.ChatLines())
            out << "chat " << line.window << ' ' << line.color << ' ' << line.text << '\n';
        for (const sim::GameText& text : host.GameTexts())
            out << "game " << static_cast<int>(text.source) << ' ' << text.text << '\n';
        for (const sim::MoveRequest& move : host.Moves())
            out << "move " << move.at << ' ' << move.item << ' ' << move.container << ' '
                << move.slot << ' ' << move.merge << ' ' << move.split << '\n';
        for (const sim::UseRequest& use : host.Uses())
            out << "use " << use.at << ' ' << use.item << ' ' << use.target << '\n';
        for (sim::ObjectId id : host.IdRequests())
            out << "id " << id << '\n';
        for (LONG split : host.SplitRequests())
            out << "split " << split << '\n';
        for (sim::ObjectId id : host.SelectRequests())
            out << "select " << id << '\n';
        for (const sim::SentMessage& sent : host.SentMessages())
            out << "message " << sent.at << ' ' << sent.message.Describe() << '\n';
        for (const std::string& error : host.HostErrors())
            out << "error " << error << '\n';
        return out.str();
    }

  private:
    using CharacterKey = std::tuple<std::string, std::string, sim::ObjectId>;
    static CharacterKey Character(const sim::WorldSetup& world) {
        return {world.server, world.characterName, world.characterId};
    }

    // The character logs in; what the login left is kept for the next reset, unless it
    // told the host anything (a reset could not tell it again).
    // The login is not kept either when it leaves unsaved changes, or files in a folder
    // below the configuration's (only the files beside sortconfig.xml are put back).
    void LogIn(const sim::WorldSetup& world) {
        host_->FireCharacterKnown();
        host_->FireLoginComplete();
        login_.reset();
        if (!Transcript(*host_).empty() || !host_->Loop().Idle() ||
            plugin_->m_ConfigDoc->HasUnsavedChanges())
            return;
        auto login = std::make_unique<Login>();
        for (auto& [name, bytes] : ConfigFiles()) {
            if (name.find('/') != name.npos)
                return;
            login->files.push_back({(ConfigFolder() / name).string(), std::move(bytes)});
        }
        login->character = Character(world);
        login->fields = CreateTarnik();
        ForEachSessionField(*login->fields, *plugin_, [](auto& to, auto& from) { to = from; });
        for (const sim::SimControl* control : host_->View()->Controls())
            login->controls.push_back(control->state);
        login->document = ConfigFileText(*plugin_->m_ConfigDoc);
        login_ = std::move(login);
    }

    // Puts back what the plug-in can change of each control; the rest stays as the view
    // description made it (the comparison with a fresh seat looks at everything).
    void RestoreControls(const std::vector<sim::ControlState>& states) {
        const std::vector<sim::SimControl*>& controls = host_->View()->Controls();
        Check(controls.size() == states.size(), "the panel keeps its controls");
        for (std::size_t i = 0; i < controls.size(); ++i) {
            sim::ControlState& state = controls[i]->state;
            const sim::ControlState& saved = states[i];
            if (state.text != saved.text)
                state.text = saved.text;
            if (state.options != saved.options)
                state.options = saved.options;
            state.textColor = saved.textColor;
            state.selected = saved.selected;
            state.checked = saved.checked;
        }
    }

    struct Login {
        CharacterKey character;
        CComPtr<CTarnik> fields;  // never started: holds the fields the login left
        std::vector<sim::ControlState> controls;
        std::string document;
        std::vector<ConfigFile> files;
    };

    std::unique_ptr<sim::SimHost> host_;
    CComPtr<CTarnik> plugin_;
    CComPtr<CTarnik> started_;  // never started: holds the fields start-up left
    std::vector<sim::ControlState> controls_;
    std::unique_ptr<Login> login_;
};

inline void Verify(const std::string& differences, const char* property) {
    if (!differences.empty()) {
        std::fprintf(stderr, "property violated: %s %s\n", property, differences.c_str());
        std::abort();
    }
}

// How often an input is also played on a fresh seat: every TARNIK_FUZZ_VERIFY-th input
// (the replay of seeds and crashes sets 1), by default every 500th.
inline std::size_t VerifyEvery() {
    static const std::size_t every = [] {
        const char* value = std::getenv("TARNIK_FUZZ_VERIFY");
        long n = value ? std::strtol(value, nullptr, 10) : 500;
        return static_cast<std::size_t>(n > 0 ? n : 0);
    }();
    return every;
}

// Plays one input on the process's seat, reset to a fresh login on `world`. For a sample
// of inputs the reset seat is first compared with a fresh one, and the input is then also
// played on that fresh seat (which serves from then on): both must end the same.
//
// The seat is reset again as soon as the input has played, so that the next input on the
// same world finds it ready and the memory an input took is given back within it:
// libFuzzer plays every input that ends holding more allocations than it began with a
// second time, to look for a leak.
template <class Play>
void PlayOnSeat(const sim::WorldSetup& world, Play&& play) {
    static std::unique_ptr<Seat> seat;
    static std::optional<sim::WorldSetup> readyOn;  // the world the seat is fresh on
    static std::size_t inputs = 0;
    const bool verify = VerifyEvery() != 0 && inputs++ % VerifyEvery() == 0;
    auto ready = [&] {
        if (seat && !seat->Reset(world))
            seat.reset();  // still busy: a fresh seat instead
        if (!seat)
            seat = std::make_unique<Seat>(world);
        readyOn = world;
    };
    if (!seat || readyOn != world) {
        const bool first = !seat;
        ready();
        if (first)
            Check(PluginLayoutCovered(seat->Plugin()), "a reset covers every field of the plug-in");
    }
    readyOn.reset();
    if (!verify) {
        play(*seat);
        ready();
        return;
    }
    // One host lives at a time, so the reused seat's states are kept as copies.
    Seat::State reset = seat->Take();
    play(*seat);
    Seat::State played = seat->Take();
    seat.reset();
    seat = std::make_unique<Seat>(world);
    Verify(Seat::Difference(reset, seat->Take()), "a reset seat differs from a fresh one in");
    play(*seat);
    Verify(Seat::Difference(played, seat->Take()),
           "an input played on a reset seat ends otherwise than on a fresh one in");
    ready();
}

// The input cut at each line feed (a final line feed ends the last line).
inline std::vector<std::string_view> Lines(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == text.npos ? std::string_view{} : text.substr(end + 1);
    }
    return lines;
}

}  // namespace fuzz
