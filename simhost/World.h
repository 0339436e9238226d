// The simulated game world: its objects, the description a world is built from, and the
// game server's rules for moving, splitting, merging, wearing and using items.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/WinTypes.h"
#include "plugin/host/Contract.h"

namespace sim {

using ::ObjectId;

// A game server message as EchoFilter2 passes it on: a type (MSG_*) and named integer
// fields (FIELD_*).
struct Message {
    LONG type = 0;
    std::vector<std::pair<std::string, LONG>> fields;

    std::optional<LONG> Field(std::string_view name) const;
    std::string Describe() const;  // "InsertInvItem item=0x.. container=0x.." and so on

    static Message InsertInvItem(ObjectId item, ObjectId container);
    static Message WearItem(ObjectId item, LONG coverage);
    static Message StackAdjusted(ObjectId item, LONG count);

    friend bool operator==(const Message&, const Message&) = default;
};

// One object to put into a world. Setters chain: Item("Arrow").Type(1).Stack(40, 100).
struct Item {
    Item() = default;
    explicit Item(std::string itemName) : name(std::move(itemName)) {}

    ObjectId id = 0;  // 0: assigned when the world is built
    std::string name;
    LONG type = 0;
    std::map<LONG, LONG> ints;
    std::map<LONG, double> reals;
    bool identified = true;
    LONG coverage = 0;      // body-coverage mask while worn; 0 takes the equipable value
    double distance = 0.0;  // from the character, for objects on the ground
    bool opened = false;    // a corpse on the ground that the character has opened

    Item& Id(ObjectId value);
    Item& Type(LONG value);
    Item& Int(LONG key, LONG value);
    Item& Real(LONG key, double value);
    Item& Value(LONG value) { return Int(KEY_VALUE, value); }
    Item& Burden(LONG value) { return Int(KEY_BURDEN, value); }
    Item& Material(LONG value) { return Int(KEY_MATERIAL, value); }
    Item& Quality(double value) { return Real(KEY_QUALITY, value); }
    Item& Stack(LONG count, LONG max);
    Item& Equipable(LONG value) { return Int(KEY_EQUIPABLE, value); }
    Item& Unenchantable(LONG value) { return Int(KEY_UNENCHANTABLE, value); }
    Item& KitUses(LONG value) { return Int(KEY_KIT_USES, value); }
    Item& Coverage(LONG mask);
    Item& Identified(bool value);
    Item& Distance(double value);

    friend bool operator==(const Item&, const Item&) = default;
};

// A side pack in one of the pack slots 0 to 6.
struct PackSetup {
    ObjectId id = 0;
    std::string name;
    int slot = 0;
    LONG capacity = 24;
    std::vector<Item> items;  // slots 0, 1, 2... in this order

    friend bool operator==(const PackSetup&, const PackSetup&) = default;
};

// Everything a world is built from; the builder and the world file fill it.
struct WorldSetup {
    std::string server = "Simulated Server";
    ObjectId characterId = 0x50000001;
    std::string characterName = "Tester";
    std::int64_t latencyMs = 120;
    std::vector<Item> main;  // main-pack slots 0, 1, 2... in this order
    std::vector<PackSetup> packs;
    std::vector<Item> worn;
    std::vector<Item> ground;
    // The id the server gives the next object it makes (a split stack); 0: the one after
    // the highest id above. A lower one than that counts as 0.
    ObjectId nextId = 0;

    friend bool operator==(const WorldSetup&, const WorldSetup&) = default;
};

// Inline world building for tests:
//   WorldBuilder().Character("Sir Test").Main(Item("Gold Ring").Type(4).Value(1200))
//       .SidePack("Backpack", 0, 24, {Item("Arrow").Type(1).Stack(40, 100)}).Setup()
class WorldBuilder {
  public:
    WorldBuilder& Server(std::string name);
    WorldBuilder& Character(std::string name, ObjectId id = 0x50000001);
    WorldBuilder& Latency(std::int64_t ms);
    WorldBuilder& Main(Item item);
    WorldBuilder& Main(std::vector<Item> items);
    WorldBuilder& SidePack(std::string name, int packSlot, LONG capacity,
                           std::vector<Item> items = {}, ObjectId id = 0);
    WorldBuilder& Worn(Item item);
    WorldBuilder& Ground(Item item);
    const WorldSetup& Setup() const { return setup_; }
    operator const WorldSetup&() const { return setup_; }

  private:
    WorldSetup setup_;
};

// A world object's state.
struct Object {
    ObjectId id = 0;
    std::string name;
    LONG type = 0;
    std::map<LONG, LONG> ints;  // kContainer and kSlot always present for held items
    std::map<LONG, double> reals;
    bool identified = true;
    LONG coverage = 0;
    double distance = 0.0;

    LONG Int(LONG key, LONG defaultValue = 0) const;
    double Real(LONG key, double defaultValue = 0.0) const;
    ObjectId Container() const { return static_cast<ObjectId>(Int(KEY_CONTAINER)); }
    LONG Slot() const { return Int(KEY_SLOT); }
    LONG StackCount() const { return Int(KEY_STACK_COUNT); }
    LONG StackMax() const { return Int(KEY_STACK_MAX); }

    friend bool operator==(const Object&, const Object&) = default;
};

// What the server did with a request: the messages it sends, in order, and the objects
// that came into or went out of existence. A refused request sends nothing.
struct Outcome {
    bool refused = false;
    std::string reason;  // why it was refused, for traces and tests
    std::vector<Message> messages;
    std::vector<ObjectId> created;
    std::vector<ObjectId> released;
};

// A map whose copy assignment, where both maps hold the same keys, assigns value by value
// and so reuses the values' own storage (a std::map rebuilds each value anew): a restart
// copies a whole world in place, many times a second in the fuzz targets.
template <class Key, class Value>
class ReusingMap : public std::map<Key, Value> {
  public:
    ReusingMap() = default;
    ReusingMap(const ReusingMap&) = default;
    ReusingMap(ReusingMap&&) = default;
    ReusingMap& operator=(ReusingMap&&) = default;
    ReusingMap& operator=(const ReusingMap& other) {
        const auto sameKey = [](const auto& a, const auto& b) { return a.first == b.first; };
        if (!std::equal(this->begin(), this->end(), other.begin(), other.end(), sameKey)) {
            std::map<Key, Value>::operator=(other);
            return *this;
        }
        auto to = this->begin();
        for (const auto& [key, value] : other)
            (to++)->second = value;
        return *this;
    }
};

class World {
  public:
    // Builds the world; throws std::invalid_argument naming what is wrong (a duplicate
    // id, a pack slot outside 0..6 or used twice, more items than a container holds).
    explicit World(const WorldSetup& setup);

    ObjectId Character() const { return me_; }
    const std::string& CharacterName() const;
    const std::string& ServerName() const { return server_; }
    std::int64_t LatencyMs() const { return latencyMs_; }
    void SetLatencyMs(std::int64_t ms) { latencyMs_ = ms; }

    // Objects that exist now; FindAny also answers for objects that ceased to exist, so
    // that a released object can still be read during its event.
    const Object* Find(ObjectId id) const;
    Object* Find(ObjectId id);
    const Object* FindAny(ObjectId id) const;
    bool Exists(ObjectId id) const { return Find(id) != nullptr; }
    // The first object of that name, in inventory order, then on the ground.
    std::optional<ObjectId> FindByName(std::string_view name) const;

    // Structure.
    std::vector<ObjectId> SidePacks() const;  // in pack-slot order
    std::optional<ObjectId> PackInSlot(int packSlot) const;
    std::vector<ObjectId> Contents(ObjectId container) const;  // held items in slot order
    std::vector<std::string> ContentNames(ObjectId container) const;
    std::vector<ObjectId> Worn() const;  // in the order they were put on
    std::vector<ObjectId> Ground() const;
    bool IsSidePack(ObjectId id) const;
    bool IsCarried(ObjectId id) const;  // in the main pack, a side pack, or worn
    LONG Capacity(ObjectId container) const;

    // The World filter's views.
    // The character, the main pack in slot order, each side pack followed by its items in
    // pack-slot order, then the worn items.
    std::vector<ObjectId> InventoryView() const;
    // For the character: the main pack's items, then the worn items; for a side pack its
    // items; otherwise empty.
    std::vector<ObjectId> ContainerView(ObjectId container) const;
    // Every object of that type code: carried ones in inventory order, then the ground.
    std::vector<ObjectId> TypeView(LONG typeCode) const;
    std::optional<double> Distance(ObjectId a, ObjectId b) const;

    // Test hook: every view made from now on yields an empty entry (null object with the
    // "more" flag true) before the entry at this position (clamped to the end).
    void SetEmptyEntryAt(std::optional<std::size_t> position) { emptyEntryAt_ = position; }
    std::optional<std::size_t> EmptyEntryAt() const { return emptyEntryAt_; }
    // Test hook: while true the World filter gives no views at all (its calls fail).
    void SetViewsRefused(bool refused) { viewsRefused_ = refused; }
    bool ViewsRefused() const { return viewsRefused_; }

    // The server's rules, applied at once (the host adds the latency).
    // Moves an item into a container slot. split > 0 moves only that many units of a
    // stack; merge lets the units join a stack of the same name with room for all of them.
    Outcome Move(ObjectId item, ObjectId container, LONG slot, bool merge, LONG split = 0);
    // Uses an item on a target: wears an equipable item, opens a corpse, uses up a kit,
    // a stamina drink or a gem.
    Outcome Use(ObjectId item, ObjectId target);
    Outcome Wear(ObjectId item);
    void Identify(ObjectId item);

    // Ground objects.
    ObjectId Spawn(Item item);  // on the ground; the id is assigned when 0
    bool Despawn(ObjectId id);
    bool SetDistance(ObjectId id, double distance);
    const std::vector<ObjectId>& OpenedCorpses() const { return opened_; }
    // The id the server would give the next object it makes.
    ObjectId NextId() const;

  private:
    ObjectId AssignId(ObjectId wanted);
    Object& Add(const Item& item);
    void Renumber(ObjectId container);
    // An item set up with its own slot property reports that slot, wherever it lies,
    // until a move renumbers its container: a client out of step with the server.
    void KeepReportedSlots(const std::vector<Item>& items, const std::vector<ObjectId>& ids);
    std::vector<ObjectId>* ListOf(ObjectId container);
    void TakeOut(ObjectId item);  // from its container list or the worn list
    void Remove(ObjectId item);   // ceases to exist
    ObjectId NewStackFrom(const Object& source, LONG units);

    ObjectId me_ = 0;
    std::string server_;
    std::int64_t latencyMs_ = 120;
    ObjectId nextId_ = 0x80000001;
    ReusingMap<ObjectId, Object> objects_;
    std::map<ObjectId, Object> gone_;
    std::vector<ObjectId> main_;
    std::map<int, ObjectId> packs_;  // pack slot -> pack
    ReusingMap<ObjectId, std::vector<ObjectId>> packItems_;
    std::vector<ObjectId> worn_;
    std::vector<ObjectId> ground_;
    std::vector<ObjectId> opened_;
    std::optional<std::size_t> emptyEntryAt_;
    bool viewsRefused_ = false;
};

// The built-in demo world of tarnik-sim: a character with about forty assorted items out
// of order in the main pack, three side packs, a few worn items and three corpses.
WorldSetup DemoWorld();

}  // namespace sim
