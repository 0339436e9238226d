// The simulated world's objects, views and the server's rules.
#include "simhost/World.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <stdexcept>

#include "platform/Text.h"

namespace sim {

// ---------------------------------------------------------------- Message

std::optional<LONG> Message::Field(std::string_view name) const {
    for (const auto& [field, value] : fields)
        if (field == name)
            return value;
    return std::nullopt;
}

Message Message::InsertInvItem(ObjectId item, ObjectId container) {
    return {MSG_GAME_EVENT,
            {{FIELD_EVENT, EVENT_INSERT_INV_ITEM},
             {FIELD_ITEM, static_cast<LONG>(item)},
             {FIELD_CONTAINER, static_cast<LONG>(container)}}};
}

Message Message::WearItem(ObjectId item, LONG coverage) {
    return {MSG_GAME_EVENT,
            {{FIELD_EVENT, EVENT_WEAR_ITEM},
             {FIELD_ITEM, static_cast<LONG>(item)},
             {FIELD_SLOT, coverage}}};
}

Message Message::StackAdjusted(ObjectId item, LONG count) {
    return {MSG_STACK_ADJUSTED, {{FIELD_ITEM, static_cast<LONG>(item)}, {FIELD_COUNT, count}}};
}

std::string Message::Describe() const {
    std::string name;
    auto event = Field(FIELD_EVENT);
    if (type == MSG_STACK_ADJUSTED)
        name = "StackAdjusted";
    else if (type == MSG_GAME_EVENT && event == EVENT_INSERT_INV_ITEM)
        name = "InsertInvItem";
    else if (type == MSG_GAME_EVENT && event == EVENT_WEAR_ITEM)
        name = "WearItem";
    else
        name = "Message " + HexText(static_cast<ObjectId>(type));
    for (const auto& [field, value] : fields) {
        if (field == FIELD_EVENT && type == MSG_GAME_EVENT && name[0] != 'M')
            continue;
        bool isId = field == FIELD_ITEM || field == FIELD_CONTAINER;
        name += " " + field + "=" +
                (isId ? HexText(static_cast<ObjectId>(value)) : std::to_string(value));
    }
    return name;
}

// ---------------------------------------------------------------- Item and builder

Item& Item::Id(ObjectId value) {
    id = value;
    return *this;
}
Item& Item::Type(LONG value) {
    type = value;
    return *this;
}
Item& Item::Int(LONG key, LONG value) {
    ints[key] = value;
    return *this;
}
Item& Item::Real(LONG key, double value) {
    reals[key] = value;
    return *this;
}
Item& Item::Stack(LONG count, LONG max) {
    ints[KEY_STACK_COUNT] = count;
    ints[KEY_STACK_MAX] = max;
    return *this;
}
Item& Item::Coverage(LONG mask) {
    coverage = mask;
    return *this;
}
Item& Item::Identified(bool value) {
    identified = value;
    return *this;
}
Item& Item::Distance(double value) {
    distance = value;
    return *this;
}

WorldBuilder& WorldBuilder::Server(std::string name) {
    setup_.server = std::move(name);
    return *this;
}
WorldBuilder& WorldBuilder::Character(std::string name, ObjectId id) {
    setup_.characterName = std::move(name);
    setup_.characterId = id;
    return *this;
}
WorldBuilder& WorldBuilder::Latency(std::int64_t ms) {
    setup_.latencyMs = ms;
    return *this;
}
WorldBuilder& WorldBuilder::Main(Item item) {
    setup_.main.push_back(std::move(item));
    return *this;
}
WorldBuilder& WorldBuilder::Main(std::vector<Item> items) {
    for (auto& item : items)
        setup_.main.push_back(std::move(item));
    return *this;
}
WorldBuilder& WorldBuilder::SidePack(std::string name, int packSlot, LONG capacity,
                                     std::vector<Item> items, ObjectId id) {
    setup_.packs.push_back(PackSetup{id, std::move(name), packSlot, capacity, std::move(items)});
    return *this;
}
WorldBuilder& WorldBuilder::Worn(Item item) {
    setup_.worn.push_back(std::move(item));
    return *this;
}
WorldBuilder& WorldBuilder::Ground(Item item) {
    setup_.ground.push_back(std::move(item));
    return *this;
}

// ---------------------------------------------------------------- Object

LONG Object::Int(LONG key, LONG defaultValue) const {
    auto it = ints.find(key);
    return it == ints.end() ? defaultValue : it->second;
}

double Object::Real(LONG key, double defaultValue) const {
    auto it = reals.find(key);
    return it == reals.end() ? defaultValue : it->second;
}

// ---------------------------------------------------------------- World: building

World::World(const WorldSetup& setup) : me_(setup.characterId), server_(setup.server) {
    latencyMs_ = setup.latencyMs;
    if (me_ == 0)
        throw std::invalid_argument("character.id: must not be 0");
    if (setup.latencyMs < 0)
        throw std::invalid_argument("latency_ms: must not be negative");

    // Reserve every given id first, so that assigned ids never collide with them.
    std::set<ObjectId> given{me_};
    auto reserve = [&](ObjectId id, const std::string& what) {
        if (id != 0 && !given.insert(id).second)
            throw std::invalid_argument(what + ": id " + HexText(id) + " is used twice");
    };
    for (const auto& item : setup.main)
        reserve(item.id, "main item \"" + item.name + "\"");
    for (const auto& pack : setup.packs) {
        reserve(pack.id, "pack \"" + pack.name + "\"");
        for (const auto& item : pack.items)
            reserve(item.id, "item \"" + item.name + "\" of pack \"" + pack.name + "\"");
    }
    for (const auto& item : setup.worn)
        reserve(item.id, "worn item \"" + item.name + "\"");
    for (const auto& item : setup.ground)
        reserve(item.id, "ground object \"" + item.name + "\"");
    for (ObjectId id : given)
        if (id >= nextId_)
            nextId_ = id + 1;
    nextId_ = std::max(nextId_, setup.nextId);

    Object& me = objects_[me_];
    me.id = me_;
    me.name = setup.characterName;
    me.type = TYPE_CHARACTER;
    me.ints[KEY_ITEM_SLOTS] = MAIN_PACK_SLOTS;

    if (setup.main.size() > static_cast<std::size_t>(MAIN_PACK_SLOTS))
        throw std::invalid_argument("main: more than 102 items");
    for (const auto& item : setup.main)
        main_.push_back(Add(item).id);
    Renumber(me_);
    KeepReportedSlots(setup.main, main_);

    for (const auto& pack : setup.packs) {
        if (pack.slot < 0 || pack.slot >= PACK_SLOT_COUNT)
            throw std::invalid_argument("pack \"" + pack.name + "\": slot " +
                                        std::to_string(pack.slot) + " is not 0 to 6");
        if (packs_.count(pack.slot))
            throw std::invalid_argument("pack \"" + pack.name + "\": slot " +
                                        std::to_string(pack.slot) + " holds another pack");
        if (pack.capacity <= 0)
            throw std::invalid_argument("pack \"" + pack.name + "\": capacity must be positive");
        if (pack.items.size() > static_cast<std::size_t>(pack.capacity))
            throw std::invalid_argument("pack \"" + pack.name + "\": more items than capacity");
        Item packItem(pack.name);
        packItem.id = pack.id;
        packItem.type = TYPE_CONTAINER;
        Object& packObject = Add(packItem);
        packObject.ints[KEY_ITEM_SLOTS] = pack.capacity;
        packObject.ints[KEY_CONTAINER] = static_cast<LONG>(me_);
        packObject.ints[KEY_SLOT] = pack.slot;
        ObjectId packId = packObject.id;
        packs_[pack.slot] = packId;
        auto& items = packItems_[packId];
        for (const auto& item : pack.items)
            items.push_back(Add(item).id);
        Renumber(packId);
        KeepReportedSlots(pack.items, items);
    }

    for (const auto& item : setup.worn) {
        Object& worn = Add(item);
        worn.ints[KEY_CONTAINER] = static_cast<LONG>(me_);
        worn.ints[KEY_SLOT] = SLOT_WORN;
        worn_.push_back(worn.id);
    }
    for (const auto& item : setup.ground) {
        ground_.push_back(Add(item).id);
        if (item.opened)
            opened_.push_back(ground_.back());
    }
}

ObjectId World::NextId() const {
    ObjectId id = nextId_;
    while (objects_.count(id) || gone_.count(id))
        ++id;
    return id;
}

ObjectId World::AssignId(ObjectId wanted) {
    if (wanted != 0)
        return wanted;
    while (objects_.count(nextId_) || gone_.count(nextId_))
        ++nextId_;
    return nextId_++;
}

Object& World::Add(const Item& item) {
    ObjectId id = AssignId(item.id);
    if (objects_.count(id))
        throw std::invalid_argument("object \"" + item.name + "\": id " + HexText(id) +
                                    " is used twice");
    Object& object = objects_[id];
    object.id = id;
    object.name = item.name;
    object.type = item.type;
    object.ints = item.ints;
    object.reals = item.reals;
    object.identified = item.identified;
    object.coverage = item.coverage;
    object.distance = item.distance;
    return object;
}

// ---------------------------------------------------------------- World: reading

const std::string& World::CharacterName() const {
    return objects_.at(me_).name;
}

const Object* World::Find(ObjectId id) const {
    auto it = objects_.find(id);
    return it == objects_.end() ? nullptr : &it->second;
}

Object* World::Find(ObjectId id) {
    auto it = objects_.find(id);
    return it == objects_.end() ? nullptr : &it->second;
}

const Object* World::FindAny(ObjectId id) const {
    if (const Object* object = Find(id))
        return object;
    auto it = gone_.find(id);
    return it == gone_.end() ? nullptr : &it->second;
}

std::optional<ObjectId> World::FindByName(std::string_view name) const {
    for (ObjectId id : InventoryView())
        if (objects_.at(id).name == name)
            return id;
    for (ObjectId id : ground_)
        if (objects_.at(id).name == name)
            return id;
    return std::nullopt;
}

std::vector<ObjectId> World::SidePacks() const {
    std::vector<ObjectId> packs;
    for (const auto& [slot, id] : packs_)
        packs.push_back(id);
    return packs;
}

std::optional<ObjectId> World::PackInSlot(int packSlot) const {
    auto it = packs_.find(packSlot);
    if (it == packs_.end())
        return std::nullopt;
    return it->second;
}

std::vector<ObjectId> World::Contents(ObjectId container) const {
    if (container == 0 || container == me_)
        return main_;
    auto it = packItems_.find(container);
    return it == packItems_.end() ? std::vector<ObjectId>{} : it->second;
}

std::vector<std::string> World::ContentNames(ObjectId container) const {
    std::vector<std::string> names;
    for (ObjectId id : Contents(container))
        names.push_back(objects_.at(id).name);
    return names;
}

std::vector<ObjectId> World::Worn() const {
    return worn_;
}

std::vector<ObjectId> World::Ground() const {
    return ground_;
}

bool World::IsSidePack(ObjectId id) const {
    return packItems_.count(id) > 0;
}

bool World::IsCarried(ObjectId id) const {
    if (std::find(main_.begin(), main_.end(), id) != main_.end())
        return true;
    if (std::find(worn_.begin(), worn_.end(), id) != worn_.end())
        return true;
    for (const auto& [pack, items] : packItems_)
        if (std::find(items.begin(), items.end(), id) != items.end())
            return true;
    return false;
}

LONG World::Capacity(ObjectId container) const {
    if (container == 0)
        container = me_;
    const Object* object = Find(container);
    return object ? object->Int(KEY_ITEM_SLOTS) : 0;
}

std::vector<ObjectId> World::InventoryView() const {
    std::vector<ObjectId> view{me_};
    view.insert(view.end(), main_.begin(), main_.end());
    for (const auto& [slot, pack] : packs_) {
        view.push_back(pack);
        const auto& items = packItems_.at(pack);
        view.insert(view.end(), items.begin(), items.end());
    }
    view.insert(view.end(), worn_.begin(), worn_.end());
    return view;
}

std::vector<ObjectId> World::ContainerView(ObjectId container) const {
    if (container == me_) {
        std::vector<ObjectId> view = main_;
        view.insert(view.end(), worn_.begin(), worn_.end());
        return view;
    }
    auto it = packItems_.find(container);
    return it == packItems_.end() ? std::vector<ObjectId>{} : it->second;
}

std::vector<ObjectId> World::TypeView(LONG typeCode) const {
    std::vector<ObjectId> view;
    for (ObjectId id : InventoryView())
        if (objects_.at(id).type == typeCode)
            view.push_back(id);
    for (ObjectId id : ground_)
        if (objects_.at(id).type == typeCode)
            view.push_back(id);
    return view;
}

// Carried objects stand where the character stands; ground objects lie at their distance
// from it, all on one line.
std::optional<double> World::Distance(ObjectId a, ObjectId b) const {
    const Object* first = Find(a);
    const Object* second = Find(b);
    if (!first || !second)
        return std::nullopt;
    auto where = [this](const Object& object) {
        return std::find(ground_.begin(), ground_.end(), object.id) != ground_.end()
                   ? object.distance
                   : 0.0;
    };
    return std::fabs(where(*first) - where(*second));
}

// ---------------------------------------------------------------- World: changing

std::vector<ObjectId>* World::ListOf(ObjectId container) {
    if (container == me_)
        return &main_;
    auto it = packItems_.find(container);
    return it == packItems_.end() ? nullptr : &it->second;
}

void World::Renumber(ObjectId container) {
    std::vector<ObjectId>* list = ListOf(container);
    if (!list)
        return;
    for (std::size_t slot = 0; slot < list->size(); ++slot) {
        Object& object = objects_.at((*list)[slot]);
        object.ints[KEY_CONTAINER] = static_cast<LONG>(container);
        object.ints[KEY_SLOT] = static_cast<LONG>(slot);
    }
}

void World::KeepReportedSlots(const std::vector<Item>& items, const std::vector<ObjectId>& ids) {
    for (std::size_t i = 0; i < items.size() && i < ids.size(); ++i) {
        auto slot = items[i].ints.find(KEY_SLOT);
        if (slot != items[i].ints.end())
            objects_.at(ids[i]).ints[KEY_SLOT] = slot->second;
    }
}

void World::TakeOut(ObjectId item) {
    auto worn = std::find(worn_.begin(), worn_.end(), item);
    if (worn != worn_.end()) {
        worn_.erase(worn);
        return;
    }
    ObjectId container = Find(item)->Container();
    if (std::vector<ObjectId>* list = ListOf(container)) {
        list->erase(std::remove(list->begin(), list->end(), item), list->end());
        Renumber(container);
    }
}

void World::Remove(ObjectId item) {
    auto it = objects_.find(item);
    if (it == objects_.end())
        return;
    gone_[item] = std::move(it->second);
    objects_.erase(it);
}

ObjectId World::NewStackFrom(const Object& source, LONG units) {
    Item copy(source.name);
    copy.type = source.type;
    copy.ints = source.ints;
    copy.reals = source.reals;
    copy.identified = source.identified;
    copy.coverage = source.coverage;
    copy.ints[KEY_STACK_COUNT] = units;
    return Add(copy).id;
}

Outcome World::Move(ObjectId item, ObjectId container, LONG slot, bool merge, LONG split) {
    Outcome outcome;
    auto refuse = [&](std::string why) {
        outcome.refused = true;
        outcome.reason = "move of " + HexText(item) + " refused: " + std::move(why);
        return outcome;
    };
    Object* object = Find(item);
    if (!object)
        return refuse("no such item");
    if (item == me_ || IsSidePack(item))
        return refuse("a pack is not moved into a pack");
    if (!IsCarried(item))
        return refuse("not the character's item");
    if (!Find(container) || !ListOf(container))
        return refuse("no such container " + HexText(container));

    bool worn = std::find(worn_.begin(), worn_.end(), item) != worn_.end();
    LONG count = object->StackCount();
    LONG units = (split > 0 && split < count) ? split : 0;  // 0: the whole object
    LONG moving = units ? units : std::max<LONG>(count, 1);
    std::vector<ObjectId>& list = *ListOf(container);

    if (merge) {
        for (ObjectId other : list) {
            Object& stack = objects_.at(other);
            if (other == item || stack.name != object->name)
                continue;
            if (stack.StackMax() - stack.StackCount() < moving)
                continue;
            stack.ints[KEY_STACK_COUNT] = stack.StackCount() + moving;
            if (units) {
                object->ints[KEY_STACK_COUNT] = count - units;
                outcome.messages.push_back(Message::StackAdjusted(item, count - units));
            } else {
                TakeOut(item);
                Remove(item);
                outcome.released.push_back(item);
            }
            outcome.messages.push_back(Message::StackAdjusted(other, stack.StackCount()));
            return outcome;
        }
    }

    bool within = !worn && !units && object->Container() == container;
    if (!within && static_cast<LONG>(list.size()) >= Capacity(container))
        return refuse("container " + HexText(container) + " is full");

    ObjectId moved = item;
    if (units) {
        object->ints[KEY_STACK_COUNT] = count - units;
        outcome.messages.push_back(Message::StackAdjusted(item, count - units));
        moved = NewStackFrom(*object, units);
        outcome.created.push_back(moved);
    } else {
        TakeOut(item);
    }
    std::size_t at = slot < 0 ? list.size() : std::min<std::size_t>(slot, list.size());
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), moved);
    Renumber(container);
    outcome.messages.push_back(Message::InsertInvItem(moved, container));
    return outcome;
}

Outcome World::Wear(ObjectId item) {
    Outcome outcome;
    Object* object = Find(item);
    bool worn = std::find(worn_.begin(), worn_.end(), item) != worn_.end();
    if (!object || !IsCarried(item) || worn || object->Int(KEY_EQUIPABLE) == 0) {
        outcome.refused = true;
        outcome.reason = "wear of " + HexText(item) + " refused: not an item to put on";
        return outcome;
    }
    TakeOut(item);
    object->ints[KEY_CONTAINER] = static_cast<LONG>(me_);
    object->ints[KEY_SLOT] = SLOT_WORN;
    worn_.push_back(item);
    LONG coverage = object->coverage ? object->coverage : object->Int(KEY_EQUIPABLE);
    outcome.messages.push_back(Message::WearItem(item, coverage));
    return outcome;
}

Outcome World::Use(ObjectId item, ObjectId target) {
    Outcome outcome;
    const Object* object = Find(item);
    auto nothing = [&](std::string why) {
        outcome.refused = true;
        outcome.reason = "use of " + HexText(item) + " does nothing: " + std::move(why);
        return outcome;
    };
    if (!object)
        return nothing("no such object");
    if (object->type == TYPE_CORPSE &&
        std::find(ground_.begin(), ground_.end(), item) != ground_.end()) {
        opened_.push_back(item);
        return outcome;
    }
    if (!IsCarried(item))
        return nothing("not the character's");
    if (target != me_)
        return nothing("only the character is a target");
    bool worn = std::find(worn_.begin(), worn_.end(), item) != worn_.end();
    if (object->Int(KEY_EQUIPABLE) != 0 && !worn)
        return Wear(item);

    auto useUp = [&] {
        Object& used = objects_.at(item);
        LONG count = used.StackCount();
        if (count > 1) {
            used.ints[KEY_STACK_COUNT] = count - 1;
            outcome.messages.push_back(Message::StackAdjusted(item, count - 1));
        } else {
            TakeOut(item);
            Remove(item);
            outcome.released.push_back(item);
        }
    };
    if (object->type == TYPE_HEALING_KIT) {
        Object& kit = objects_.at(item);
        LONG uses = kit.Int(KEY_KIT_USES);
        if (uses <= 1) {
            TakeOut(item);
            Remove(item);
            outcome.released.push_back(item);
        } else {
            kit.ints[KEY_KIT_USES] = uses - 1;
        }
        return outcome;
    }
    if (object->name.starts_with("Stamina") || object->name.starts_with("Wah Cho") ||
        object->name == "Gem of Stillness") {
        useUp();
        return outcome;
    }
    return nothing("not a thing to use");
}

void World::Identify(ObjectId item) {
    if (Object* object = Find(item))
        object->identified = true;
}

ObjectId World::Spawn(Item item) {
    ObjectId id = Add(item).id;
    ground_.push_back(id);
    return id;
}

bool World::Despawn(ObjectId id) {
    auto it = std::find(ground_.begin(), ground_.end(), id);
    if (it == ground_.end())
        return false;
    ground_.erase(it);
    Remove(id);
    return true;
}

bool World::SetDistance(ObjectId id, double distance) {
    Object* object = Find(id);
    if (!object || std::find(ground_.begin(), ground_.end(), id) == ground_.end())
        return false;
    object->distance = distance;
    return true;
}

}  // namespace sim
