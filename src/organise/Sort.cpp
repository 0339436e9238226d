// Sorting one pack: Sort files the pack's items by slot with their keys, and SortNext
// moves one out-of-order item per confirmed step.
#include <vector>

#include "inventory/Inventory.h"
#include "organise/Organise.h"
#include "plugin/Tarnik.h"

namespace {

// How often one sort re-reads a pack that changed under it before it gives up.
constexpr std::int32_t kSortRereads = 3;

}  // namespace

void WriteSortRefusal(CTarnik& tarnik) {
    tarnik.WriteToChat("Error checking inventory...Cannot sort");
    tarnik.WriteToChat("Logging off and back on may clear inventory errors.");
}

void CTarnik::SortFromChoice() {
    EndJob();
    LONG index = -1;
    if (m_chSortBy)
        m_chSortBy->get_Selected(&index);
    Sort(index);
}

void CTarnik::Sort(std::int32_t type) {
    EndJob();
    Log(INF, "Sorting");
    m_Failures.clear();

    LONG selection = 0;
    if (m_pHooks)
        m_pHooks->get_CurrentSelection(&selection);
    Log(TRC, "Current selection is %d", selection);
    CComPtr<IWorldObject> selected;
    if (selection != 0)
        selected = FindObject(m_pWorld, static_cast<ObjectId>(selection));
    if (selected && IntValue(selected, KEY_ITEM_SLOTS) > 0) {
        m_SortPack = static_cast<ObjectId>(selection);
        Log(TRC, "Using selected item");
    } else {
        Log(TRC, "Using m_Me");
        m_SortPack = m_Me;
    }
    Log(TRC, "Sort pack is %d", static_cast<int>(m_SortPack));

    m_SortType = type;
    m_SortRereads = 0;
    m_SortMoved = false;
    m_SortMoves = 0;
    if (!FileSortPack()) {
        WriteSortRefusal(*this);
        return;
    }
    SortNext();
}

bool CTarnik::FileSortPack() {
    CComPtr<IWorldIterator> view = ContainerView(m_pWorld, m_SortPack);
    m_SortEntries.resize(0);
    m_SortEntries.resize(MAIN_PACK_SLOTS);
    if (!view) {
        Log(ERR, "No container view of %x", static_cast<unsigned>(m_SortPack));
        return false;
    }

    std::int32_t maxSlot = 0;
    std::int32_t count = 0;
    bool clash = false;
    std::vector<bool> filled(MAIN_PACK_SLOTS, false);
    bool walked = WalkView(*this, view, WALK_SORT, [&](IWorldObject* object) {
        std::string name = NameOf(object);
        SortKeySource source;
        source.typeCode = TypeOf(object);
        source.name = name;
        source.value = IntValue(object, KEY_VALUE);
        source.material = IntValue(object, KEY_MATERIAL);
        source.quality = source.material ? RealValue(object, KEY_QUALITY) : 0.0;
        source.burden = IntValue(object, KEY_BURDEN);
        std::string key;
        if (std::optional<std::string> built = SortKey(m_SortType, source))
            key = std::move(*built);
        else
            WriteToChat("Unknown sort type requested");
        LONG slot = IntValue(object, KEY_SLOT);
        LONG itemSlots = IntValue(object, KEY_ITEM_SLOTS);
        Log(TRC, "  Checking %s key:[%s] %d %d", name.c_str(), key.c_str(), slot, itemSlots);
        if (!IsSortable(slot, itemSlots, name))
            return true;
        if (slot >= MAIN_PACK_SLOTS) {
            // Only a container with more slots than the main pack can hold such an item;
            // the 102 entries cannot file it, so the whole sort is refused.
            Log(ERR, "%s reports slot %d, beyond the %d sortable slots", name.c_str(), slot,
                static_cast<int>(MAIN_PACK_SLOTS));
            return false;
        }
        Log(TRC, "  Added slot %d", slot);
        // Two items reporting one slot would leave another slot empty yet pass the count
        // test below, and the empty entry would then be moved as item 0.
        if (filled[slot])
            clash = true;
        filled[slot] = true;
        m_SortEntries[slot] = SortEntry{IdOf(object), slot, std::move(key)};
        ++count;
        if (slot > maxSlot)
            maxSlot = slot;
        return true;
    });
    if (!walked)
        return false;
    Log(TRC, "%s %d, %d", "Items Added", maxSlot, count);
    if (maxSlot != count - 1 || clash)
        return false;
    m_SortLast = maxSlot;
    return true;
}

std::int32_t CTarnik::LastOutOfOrder(std::int32_t last, bool rev) const {
    for (std::int32_t i = last; i >= 1; --i) {
        Log(TRC, "Search %d", i);
        if (KeyBefore(m_SortEntries[i].key, m_SortEntries[i - 1].key, rev))
            return i - 1;
    }
    return -1;
}

void CTarnik::SortNext() {
    switch (SortStep(JOB_SORT)) {
        case SortStepResult::Moved:
        case SortStepResult::Broken:
            break;
        case SortStepResult::Done:
            EndJob();
            WriteToChat("Sort Complete");
            break;
        case SortStepResult::Refused:
            EndJob();
            WriteSortRefusal(*this);
            break;
        case SortStepResult::KeptChanging:
            EndJob();
            WriteToChat("Sort stopped: the pack kept changing while it was sorted.");
            break;
    }
}

CTarnik::SortStepResult CTarnik::SortStep(JobCode job) {
    Log(TRC, "SortNext");
    VARIANT_BOOL checked = VARIANT_FALSE;
    if (m_cbReverse)
        m_cbReverse->get_Checked(&checked);
    const bool rev = checked == VARIANT_TRUE;

    // The model is only trusted within the entries a Sort filed.
    std::int32_t last = m_SortLast;
    if (last >= static_cast<std::int32_t>(m_SortEntries.size()))
        last = static_cast<std::int32_t>(m_SortEntries.size()) - 1;

    std::int32_t m = LastOutOfOrder(last, rev);
    Log(TRC, "Moving Slot %d", m);
    if (m == -1 && m_SortMoved) {
        // The model says done, but a move still on its way when the sort began, or an
        // item the player moved meanwhile, can leave the pack otherwise: believe the host.
        m_SortMoved = false;
        if (!FileSortPack())
            return SortStepResult::Refused;
        last = m_SortLast;
        m = LastOutOfOrder(last, rev);
        if (m != -1) {
            if (++m_SortRereads > kSortRereads) {
                Log(ERR, "Pack still out of order after %d re-reads", kSortRereads);
                return SortStepResult::KeptChanging;
            }
            Log(INF, "The pack changed during the sort; sorting on from what it holds");
        }
    }
    if (m == -1)
        return SortStepResult::Done;

    SortEntry t = m_SortEntries[m];
    Log(TRC, "Moving %d value %s", m, t.key.c_str());
    for (std::int32_t j = m; j < last; ++j) {
        Log(TRC, "MoveLeft %d to %d", j + 1, j);
        m_SortEntries[j] = m_SortEntries[j + 1];
    }
    for (std::int32_t k = last; k >= 1; --k) {
        Log(TRC, "Checking %d value %s", k, m_SortEntries[k - 1].key.c_str());
        if (KeyBefore(m_SortEntries[k - 1].key, t.key, rev)) {
            m_SortEntries[k] = t;
            Log(TRC, "Moved %d to %d", m, k);
            m_SortMoved = true;
            ++m_SortMoves;
            (void)RequestMove(t.id, m_SortPack, k, false, job);  // a refusal ended the job
            return SortStepResult::Moved;
        }
        Log(TRC, "MoveRight %d to %d", k - 1, k);
        m_SortEntries[k] = m_SortEntries[k - 1];
    }
    // Unreachable: the entry that followed t is strictly before it. Should the model be
    // broken anyway, the job ends instead of moving a lost item.
    Log(ERR, "SortNext found no place for %x", static_cast<unsigned>(t.id));
    EndJob();
    return SortStepResult::Broken;
}
