// The inventory vocabulary shared by the organising and equipment subsystems: item
// property keys, pack slots, readers of world objects and the walker of world views.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/Tarnik.h"

// Integer properties (read with default 0) and the one real property (default 0.0).
inline constexpr LONG KEY_CONTAINER = 0x0D000002;   // id of the container it lies in
inline constexpr LONG KEY_ITEM_SLOTS = 0x0D000004;  // > 0 marks a container
inline constexpr LONG KEY_STACK_COUNT = 0x0D000006;
inline constexpr LONG KEY_STACK_MAX = 0x0D000007;  // >= 2 marks a stackable item
inline constexpr LONG KEY_SLOT = 0x0D000009;       // slot in its container, -1 when worn
inline constexpr LONG KEY_VALUE = 0x13;
inline constexpr LONG KEY_MATERIAL = 0x83;
inline constexpr LONG KEY_BURDEN = 5;
inline constexpr LONG KEY_QUALITY = 0x0A000009;  // real

inline constexpr LONG SLOT_WORN = -1;
// The main pack's item slots, 0 to 101; Sort and Move rely on this number.
inline constexpr std::int32_t MAIN_PACK_SLOTS = 102;
inline constexpr std::int32_t PACK_SLOT_COUNT = 7;

// "First" to "Seventh" for pack slots 0 to 6, "Unknown" for any other.
const char* PackSlotNames(std::int32_t packSlot);

// The number each walk of a world view puts in its "NULL/True return from itWorld! (n)"
// line when the view yields an empty entry.
enum WalkId : std::int32_t {
    WALK_PACKS = 2,  // SetPacks, ShowPacks, Move
    WALK_ROOM_COUNT = 3,
    WALK_ROOM_STACKS = 4,
    WALK_STRIP = 5,
    WALK_SORT = 6,
    WALK_CRAM_PACK = 7,
    WALK_STORE_FIRST = 8,
    WALK_STORE_SECOND = 9,
    WALK_EQUIP_LIST = 10,
    WALK_CONFIG = 11,
};

// The room test's own walks trace at TRC; every other walk reports at ERR.
std::int32_t WalkLogLevel(std::int32_t walk);

// Readers of a world object; a failed host call yields the default.
LONG IntValue(IWorldObject* object, LONG key);
double RealValue(IWorldObject* object, LONG key);
ObjectId IdOf(IWorldObject* object);
LONG TypeOf(IWorldObject* object);
std::string NameOf(IWorldObject* object);  // as 8-bit (UTF-8) text
std::u16string WideNameOf(IWorldObject* object);

// The object with that id, or empty when the World filter does not know it.
CComPtr<IWorldObject> FindObject(IWorld* world, ObjectId id);
// The inventory view and a container view; empty when the host gives none.
CComPtr<IWorldIterator> InventoryView(IWorld* world);
CComPtr<IWorldIterator> ContainerView(IWorld* world, ObjectId container);

// Resets the view and hands each object to visit(IWorldObject*), which returns false to
// stop early. An empty entry with more to come is logged under the walk's number and
// skipped. Returns false when visit stopped the walk.
template <class Visit>
bool WalkView(CTarnik& tarnik, IWorldIterator* view, std::int32_t walk, Visit&& visit) {
    if (!view)
        return true;
    view->Reset();
    for (;;) {
        CComPtr<IWorldObject> object;
        VARIANT_BOOL more = VARIANT_FALSE;
        if (FAILED(view->Next(&object, &more)) || more == VARIANT_FALSE)
            return true;
        if (!object) {
            tarnik.Log(WalkLogLevel(walk), "NULL/True return from itWorld! (%d)",
                       static_cast<int>(walk));
            continue;
        }
        if (!visit(object.get()))
            return false;
    }
}
