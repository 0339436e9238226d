// Move: the first items of one pack into another, from the highest of those slots down,
// each to the destination's front so that they keep their order.
#include <cstdint>

#include "inventory/Inventory.h"
#include "plugin/Tarnik.h"

void CTarnik::Move(std::int32_t count, ObjectId from, ObjectId to) {
    EndJob();
    Log(INF, "Move");
    CComPtr<IWorldIterator> view = InventoryView(m_pWorld);
    if (!view) {
        WriteToChat("Unable to get Inventory filter. Move failed.");
        return;
    }
    m_MoveFrom = 0;
    m_MoveTo = 0;
    m_MoveRemaining = count;
    if (from == m_Me) {
        if (count > MAIN_PACK_SLOTS) {
            WriteToChat("cannot move %d items from main pack.", count);
            return;
        }
        m_MoveFrom = m_Me;
    }
    std::int32_t free = 0;
    if (to == m_Me) {
        m_MoveTo = m_Me;
        free = MAIN_PACK_SLOTS;
    }
    // Side packs are named by pack number, their pack slot plus one.
    auto inPackSlot = [](LONG slot, ObjectId packNumber) {
        return std::int64_t{slot} == std::int64_t{packNumber} - 1;
    };
    bool walkedAll = WalkView(*this, view, WALK_PACKS, [&](IWorldObject* object) {
        const LONG slots = IntValue(object, KEY_ITEM_SLOTS);
        const ObjectId id = IdOf(object);
        // The character is a container too, but it is the main pack, not a side pack.
        if (slots <= 0 || id == m_Me)
            return true;
        const LONG slot = IntValue(object, KEY_SLOT);
        if (inPackSlot(slot, from)) {
            if (slots < count) {
                WriteToChat("Cannot move %d items from pack %d", count, static_cast<int>(from));
                return false;
            }
            m_MoveFrom = id;
        }
        if (inPackSlot(slot, to)) {
            m_MoveTo = id;
            free = slots;
        }
        return true;
    });
    if (!walkedAll)
        return;
    if (m_MoveFrom == 0) {
        WriteToChat("No pack to move from in slot %d", static_cast<int>(from));
        return;
    }
    if (m_MoveTo == 0) {
        // Nothing can arrive in a pack that is not there.
        WriteToChat("No pack to move to in slot %d", static_cast<int>(to));
        return;
    }
    // The player names the main pack 0.
    auto packNumber = [&](ObjectId pack) { return pack == m_Me ? 0 : static_cast<int>(pack); };
    WriteToChat("Moving %d items from pack %d to pack %d", count, packNumber(from), packNumber(to));
    view->ByContainer(static_cast<LONG>(m_MoveTo));
    WalkView(*this, view, WALK_PACKS, [&](IWorldObject* object) {
        if (!TakesNoSlot(TypeOf(object)) && IntValue(object, KEY_SLOT) >= 0)
            --free;
        return true;
    });
    if (free < count) {
        WriteToChat("Cannot move %d items, pack has only %d slots available", count, free);
        return;
    }
    WriteToChat("Slots available in destination pack: %d", free);
    MoveNext();
}

void CTarnik::MoveNext() {
    Log(TRC, "MoveNext");
    CComPtr<IWorldIterator> view = ContainerView(m_pWorld, m_MoveFrom);
    EndJob();
    if (!view) {
        WriteToChat("Unable to get Inventory object, request aborted.");
        return;
    }
    // Counting down from the count, not below 0, keeps the slot searched in range.
    while (m_MoveRemaining > 0) {
        --m_MoveRemaining;
        ObjectId found = 0;
        WalkView(*this, view, WALK_PACKS, [&](IWorldObject* object) {
            if (IntValue(object, KEY_SLOT) != m_MoveRemaining || TakesNoSlot(TypeOf(object)))
                return true;
            found = IdOf(object);
            return false;
        });
        if (found != 0) {
            (void)RequestMove(found, m_MoveTo, 0, false, JOB_MOVE);  // a refusal ended the job
            return;
        }
    }
    WriteToChat("Move Complete");
}
