// A character with gear worn and in packs, and the panel steps that record a profile.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/PluginFixture.h"
#include "support/TempFolder.h"

namespace equip_test {

// Ids at 0x90000000 and above are stored as negative numbers.
constexpr sim::ObjectId kBow = 0x90000011, kRing = 0x1012, kBread = 0x1013;
constexpr sim::ObjectId kCap = 0x90000021, kAmulet = 0x1022, kSword = 0x1023;
constexpr sim::ObjectId kSack = 0x2001, kPouch = 0x2002, kCoin = 0x2101;
constexpr LONG kMissileWeapon = 31, kJewelry = 4, kWeapon = 1, kArmor = 2;

class EquipFixture : public StartedPluginFixture {
  protected:
    sim::WorldSetup MakeWorld() override {
        using sim::Item;
        return sim::WorldBuilder()
            .Server("Test Server")
            .Character("Tester")
            .Main({Item("Bow").Id(kBow).Type(kMissileWeapon).Equipable(0x400000),
                   Item("Ring").Id(kRing).Type(kJewelry).Equipable(0x40000),
                   Item("Bread").Id(kBread)})
            .SidePack("Sack", 0, 24, {}, kSack)
            .SidePack("Pouch", 1, 1, {Item("Coin").Id(kCoin)}, kPouch)
            .Worn(Item("Cap").Id(kCap).Type(kArmor).Equipable(0x1))
            .Worn(Item("Amulet").Id(kAmulet).Type(kJewelry).Equipable(0x8000))
            .Worn(Item("Sword").Id(kSword).Type(kWeapon).Equipable(0x100000));
    }
    // Lets the game answer everything, then forgets what happened so far.
    void Settle() {
        RunUntilIdle();
        Host().ClearRecords();
        NewChatLines();
    }
    void NewProfile(std::string_view name) {
        ASSERT_TRUE(Type("ceNewProfile", name));
        ASSERT_TRUE(Click("pbNewProfile"));
    }
    // Makes the profile, records what `play` does by hand, and stops.
    void RecordProfile(std::string_view name, const std::function<void()>& play) {
        NewProfile(name);
        ASSERT_TRUE(Click("pbRecord"));
        play();
        RunUntilIdle();
        ASSERT_TRUE(Click("pbRecord"));
        Settle();
    }
    void WearNow(sim::ObjectId item) {
        Host().WearByHand(item);
        RunUntilIdle();
    }
    void TakeOffNow(sim::ObjectId item, sim::ObjectId into = 0) {
        Host().TakeOffByHand(item, into);
        RunUntilIdle();
    }
    bool Worn(sim::ObjectId item) {
        std::vector<sim::ObjectId> worn = World().Worn();
        return std::find(worn.begin(), worn.end(), item) != worn.end();
    }
    std::vector<std::string> Options(const char* choice) { return Host().Control(choice)->options; }
    std::filesystem::path File() const { return ConfigFolder() / "sortconfig.xml"; }
    // The file without its carriage returns.
    std::string FileText() const {
        std::string text = platform_test::ReadFile(File());
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    }
    bool FileHas(std::string_view fragment) const {
        return FileText().find(fragment) != std::string::npos;
    }
};

}  // namespace equip_test
