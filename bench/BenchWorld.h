// A plug-in logged in to the simulated host on a full inventory, shared by the benchmarks.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "config/ConfigPath.h"
#include "plugin/Tarnik.h"
#include "simhost/SimHost.h"

namespace bench {

inline constexpr sim::ObjectId kFirstSidePack = 0x2001;
inline constexpr sim::ObjectId kStackPack = 0x2007;  // the last side pack: 24 full stacks

inline std::string Numbered(const char* prefix, int n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s %03d", prefix, n);
    return name;
}

// 102 main-pack items in reverse name order, 7 side packs of 24 (the last holding full
// stacks of arrows), 10 worn items.
inline sim::WorldSetup FullInventory() {
    using sim::Item;
    sim::WorldBuilder world;
    for (int i = 101; i >= 0; --i)
        world.Main(Item(Numbered("Item", i)).Type(1).Value(i * 10).Burden(i));
    for (int pack = 0; pack < 7; ++pack) {
        std::vector<Item> items;
        for (int i = 0; i < 24; ++i)
            items.push_back(pack == 6 ? Item("Arrow").Type(8).Stack(250, 250)
                                      : Item(Numbered("Gem", pack * 24 + i)).Type(15));
        world.SidePack(Numbered("Pack", pack), pack, 24, std::move(items),
                       kFirstSidePack + static_cast<sim::ObjectId>(pack));
    }
    for (int i = 0; i < 10; ++i)
        world.Worn(Item(Numbered("Armor", i)).Type(2).Equipable(1 << i));
    // Moves are asked for but never carried out while a benchmark runs.
    world.Latency(std::int64_t{1} << 40);
    return world.Setup();
}

// The host and the logged-in plug-in; the configuration goes to a folder of its own.
// With `listening` false nobody reads the debugger output, as in a game without a debugger.
inline sim::HostOptions Listening(bool listening) {
    sim::HostOptions options;
    options.trace = listening;
    return options;
}

class Session {
  public:
    explicit Session(const sim::WorldSetup& world = FullInventory(), sim::HostOptions options = {})
        : folder_(std::filesystem::temp_directory_path() /
                  ("tarnik-bench-" + std::to_string(::getpid()))),
          host_(world, options) {
        std::filesystem::create_directories(folder_);
        g_ConfigPath = (folder_ / "sortconfig.xml").string();
        plugin_ = CreateTarnik();
        host_.InitializePlugin(plugin_.get());
        host_.FireCharacterKnown();
        host_.FireLoginComplete();
        host_.ClearRecords();
    }
    ~Session() {
        host_.TerminatePlugin();
        plugin_.Release();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    sim::SimHost& Host() { return host_; }
    CTarnik& Plugin() { return *plugin_; }

  private:
    std::filesystem::path folder_;
    sim::SimHost host_;
    CComPtr<CTarnik> plugin_;
};

}  // namespace bench
