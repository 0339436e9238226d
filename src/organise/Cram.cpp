// Cram, which empties the front of the main pack into the first side pack with a free
// slot, and Pack, which brings pinned items home; one confirmed move per step.
#include <string>

#include "inventory/Inventory.h"
#include "plugin/Tarnik.h"

void CTarnik::Cram() {
    EndJob();
    Log(INF, "Cram()");
    SetPacks();
    CramNext();
}

void CTarnik::CramNext() {
    Log(TRC, "CramNext");
    EndJob();
    CComPtr<IWorldIterator> view = ContainerView(m_pWorld, m_Me);
    if (!view) {
        WriteToChat("Unable to get Inventory object, request aborted.");
        return;
    }
    const bool tracing = m_Log.Threshold() >= TRC;
    bool walkedAll = WalkView(*this, view, WALK_CRAM_PACK, [&](IWorldObject* item) {
        if (tracing)
            Log(TRC, "Item %s, Container %d, slots: %d", NameOf(item).c_str(),
                IntValue(item, KEY_CONTAINER), IntValue(item, KEY_ITEM_SLOTS));
        if (IntValue(item, KEY_SLOT) != 0 || TakesNoSlot(TypeOf(item)))
            return true;
        Log(TRC, "Cram It!");
        for (ObjectId pack : m_PackList) {
            if (PackHasRoom(pack, {}, 1)) {
                Log(TRC, "Moving to pack %d", static_cast<int>(pack));
                (void)RequestMove(IdOf(item), pack, 0, false, JOB_CRAM);  // a refusal ended the job
                return false;
            }
        }
        return true;
    });
    // A move issued, or refused with the job ended and said so.
    if (!walkedAll)
        return;
    WriteToChat("Cramming complete!");
}

void CTarnik::Pack() {
    EndJob();
    Log(INF, "Pack()");
    m_Failures.clear();
    PackNext();
}

void CTarnik::PackNext() {
    Log(TRC, "PackNext");
    EndJob();
    CComPtr<IWorldIterator> view = InventoryView(m_pWorld);
    if (!view) {
        WriteToChat("Unable to get Inventory object, request aborted.");
        return;
    }
    bool walkedAll = WalkView(*this, view, WALK_CRAM_PACK, [&](IWorldObject* item) {
        if (IntValue(item, KEY_SLOT) == SLOT_WORN)
            return true;
        const ObjectId id = IdOf(item);
        auto pin = m_Pins.find(id);
        if (pin == m_Pins.end() ||
            static_cast<ObjectId>(IntValue(item, KEY_CONTAINER)) == pin->second)
            return true;
        if (PackHasRoom(pin->second, {}, 1)) {
            (void)RequestMove(id, pin->second, 0, false, JOB_PACK);  // a refusal ended the job
            return false;
        }
        m_Failures[NameOf(item)];
        return true;
    });
    if (!walkedAll)
        return;
    DisplayFailures("pack");
    WriteToChat("Packing complete!");
}
