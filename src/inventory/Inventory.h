// The inventory subsystem owns reading packs and items from the host, the failure list
// and the pack-contents report. Its operations are CTarnik's SetPacks, PackHasRoom and
// RequestMove (Inventory.cpp) and DisplayFailures (Failures.cpp). Declared here is the
// vocabulary the organising and equipment subsystems share: pack slots, readers of world
// objects and the walker of world views; the property keys they read are the host's, in
// plugin/host/Contract.h.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/Tarnik.h"
#include "plugin/host/Contract.h"

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
    WALK_HEAL = 12,
    WALK_CONSUMABLE = 13,  // the stamina drink and the gem
};

// The room test's own walks trace at TRC; every other walk reports at ERR.
LogLevel WalkLogLevel(std::int32_t walk);

// Readers of a world object; a failed host call yields the default.
LONG IntValue(IWorldObject* object, LONG key);
double RealValue(IWorldObject* object, LONG key);
ObjectId IdOf(IWorldObject* object);
LONG TypeOf(IWorldObject* object);
std::string NameOf(IWorldObject* object);  // as 8-bit (UTF-8) text
OleString WideNameOf(IWorldObject* object);
// The name the player knows an item by, or "item N" when the World filter no longer has it.
std::string ItemLabel(IWorld* world, ObjectId id);

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
