// The built-in demo world that tarnik-sim starts on.
#include "simhost/World.h"

namespace sim {

namespace {
// Type codes of the demo's items, as the sort ranks them.
constexpr LONG kJewelry = TYPE_JEWELRY;
constexpr LONG kWeapon = TYPE_WEAPON;
constexpr LONG kArmor = 2;
constexpr LONG kMissile = 8;
constexpr LONG kComponent = 11;
constexpr LONG kFood = 15;
constexpr LONG kGem = 32;
constexpr LONG kPotion = 30;

// Body-coverage masks of the worn items.
constexpr LONG kHead = 0x1;
constexpr LONG kChest = 0x200;
constexpr LONG kHands = 0x20;
constexpr LONG kFeet = 0x100;
constexpr LONG kRing = 0x40000;
constexpr LONG kNeck = 0x8000;
constexpr LONG kWeaponHand = 0x100000;

Item Jewel(const char* name, LONG value, LONG material, double quality, LONG coverage) {
    return Item(name)
        .Type(kJewelry)
        .Value(value)
        .Burden(20)
        .Material(material)
        .Quality(quality)
        .Equipable(coverage);
}
Item Weapon(const char* name, LONG value, LONG burden, LONG material) {
    return Item(name)
        .Type(kWeapon)
        .Value(value)
        .Burden(burden)
        .Material(material)
        .Quality(5.0)
        .Equipable(kWeaponHand);
}
Item Armor(const char* name, LONG value, LONG burden, LONG coverage) {
    return Item(name).Type(kArmor).Value(value).Burden(burden).Material(7).Quality(6.2).Equipable(
        coverage);
}
Item Stack(const char* name, LONG type, LONG count, LONG max, LONG value) {
    return Item(name).Type(type).Stack(count, max).Value(value * count).Burden(count);
}
Item Kit(const char* name, LONG uses, LONG value) {
    return Item(name).Type(TYPE_HEALING_KIT).KitUses(uses).Value(value).Burden(30);
}
}  // namespace

WorldSetup DemoWorld() {
    WorldBuilder world;
    world.Server("Blue Hill").Character("Sir O'Neil (Jr)", 0x50000001).Latency(120);
    world.Main({
        Stack("Arrow", kMissile, 40, 250, 1),
        Jewel("Gold Ring", 1200, 5, 7.5, kRing),
        Weapon("Iron Sword", 900, 350, 12),
        Kit("Plentiful Healing Kit", 40, 1500),
        Stack("Prismatic Taper", kComponent, 75, 1000, 2),
        Armor("Leather Gauntlets", 300, 180, kHands),
        Item("Stamina Elixir").Type(kPotion).Stack(3, 10).Value(150).Burden(15),
        Jewel("Silver Necklace", 800, 6, 4.0, kNeck),
        Stack("Deadly Arrow", kMissile, 25, 250, 12),
        Weapon("Oak Staff", 150, 120, 0),
        Kit("Herbal Healing Kit", 3, 400),
        Stack("Scarab of Lead", kComponent, 12, 100, 5),
        Item("Gem of Stillness").Type(kGem).Value(2500).Burden(5),
        Armor("Chainmail Hauberk", 1800, 1300, kChest),
        Jewel("Ruby Ring", 2400, 5, 9.1, kRing),
        Stack("Hyssop", kComponent, 30, 100, 3),
        Weapon("Bronze Dagger", 90, 80, 11),
        Item("Apple").Type(kFood).Stack(6, 100).Value(5).Burden(6),
        Kit("Healing Kit", 8, 100),
        Armor("Leather Boots", 250, 200, kFeet),
        Stack("Lapis Lazuli", kComponent, 18, 100, 4),
        Jewel("Jade Bracelet", 650, 9, 3.3, 0x10000),
        Weapon("Yew Longbow", 1100, 420, 0),
        Stack("Powdered Agate", kComponent, 9, 100, 6),
        Item("Mana Stone").Type(kGem).Value(300).Burden(10),
        Armor("Iron Helm", 600, 500, kHead),
        Stack("Wah Cho Tea", kPotion, 2, 10, 40),
        Weapon("Steel Axe", 1300, 600, 12),
        Jewel("Copper Ring", 40, 3, 1.0, kRing),
        Stack("Quill", kComponent, 50, 1000, 1),
        Item("Bread").Type(kFood).Value(3).Burden(2),
        Armor("Studded Leather Cuirass", 700, 900, kChest),
        Kit("Plentiful Healing Kit", 12, 1500),
        Item("Pyreal Chunk").Type(0).Value(-1).Burden(25),
        Stack("Broadhead Arrow", kMissile, 100, 250, 3),
        Jewel("Amber Amulet", 1700, 8, 6.6, kNeck),
        Weapon("Mace", 480, 500, 12),
        Item("Empty Flask").Type(kPotion).Value(2).Burden(3),
        Stack("Turquoise", kComponent, 22, 100, 4),
        // Foci are never sorted; placed last so that they leave no gap among the items
        // a sort files.
        Item("Foci of Light").Type(kGem).Value(4000).Burden(50),
    });
    world.SidePack(
        "Backpack", 0, 24,
        {Stack("Arrow", kMissile, 180, 250, 1), Armor("Plate Gauntlets", 900, 400, kHands),
         Item("Map of Arwic").Type(0).Value(10).Burden(1)});
    world.SidePack("Pouch", 1, 24,
                   {Stack("Scarab of Copper", kComponent, 40, 100, 8),
                    Stack("Prismatic Taper", kComponent, 200, 1000, 2)});
    world.SidePack("Sack", 2, 24);
    world.Worn(Armor("Leather Cap", 120, 100, kHead).Identified(false))
        .Worn(Armor("Chain Shirt", 900, 700, kChest))
        .Worn(Jewel("Silver Ring", 500, 6, 5.0, kRing))
        .Worn(Weapon("Long Sword", 1400, 400, 12));
    world.Ground(Item("Corpse of Grey Wolf").Type(TYPE_CORPSE).Distance(5.0))
        .Ground(Item("Corpse of Drudge Skulker").Type(TYPE_CORPSE).Distance(12.0))
        .Ground(Item("Corpse of Banderling").Type(TYPE_CORPSE).Distance(30.0));
    return world.Setup();
}

}  // namespace sim
