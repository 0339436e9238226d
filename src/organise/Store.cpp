// Store: moving main-pack items whose names are configured into their packs, full stacks
// before anything else, one confirmed move per step.
#include <string>

#include "inventory/Inventory.h"
#include "plugin/Tarnik.h"

void CTarnik::Store() {
    EndJob();
    Log(INF, "Store()");
    m_Failures.clear();
    StoreNext();
}

void CTarnik::StoreNext() {
    Log(TRC, "StoreNext");
    StartJob(JOB_STORE_BUSY);
    CComPtr<IWorldIterator> view = ContainerView(m_pWorld, m_Me);
    if (!view) {
        WriteToChat("Unable to get Inventory object, Tarnik! will not operate.");
        EndJob();
        return;
    }
    // Each step starts both passes afresh, so full stacks always go first.
    for (bool fullStacksOnly : {true, false}) {
        bool walkedAll =
            WalkView(*this, view, fullStacksOnly ? WALK_STORE_FIRST : WALK_STORE_SECOND,
                     [&](IWorldObject* item) {
                         bool matched = StoreAnItem(item, fullStacksOnly);
                         // A move was issued, or refused and the job has ended.
                         if (m_Job != JOB_STORE_BUSY)
                             return false;
                         if (matched)
                             m_Failures[NameOf(item)];
                         return true;
                     });
        if (!walkedAll)
            return;
    }
    DisplayFailures("Store");
    WriteToChat("Store complete!");
    EndJob();
}

bool CTarnik::StoreAnItem(IWorldObject* item, bool fullStacksOnly) {
    Log(TRC, "StoreAnItem");
    const ObjectId id = IdOf(item);
    LONG units = IntValue(item, KEY_STACK_COUNT);
    if (fullStacksOnly && !(units > 0 && IntValue(item, KEY_STACK_MAX) <= units))
        return false;
    // The main pack's view also lists what the character wears; that stays on.
    if (IntValue(item, KEY_SLOT) == SLOT_WORN)
        return false;
    if (units == 0)
        units = 1;

    const std::string name = NameOf(item);
    const auto container = static_cast<ObjectId>(IntValue(item, KEY_CONTAINER));
    OleString wideName;
    bool matched = false;
    for (const PackItem& entry : m_PackConfig) {
        // An entry naming the pack the item is in (the main pack) would move it in circles.
        if (entry.name != name || entry.pack == container)
            continue;
        matched = true;
        if (wideName.empty())
            wideName = WideNameOf(item);
        // The room test may ask the host to split the selected stack for this move.
        if (m_pHooks)
            m_pHooks->SelectItem(static_cast<LONG>(id));
        if (PackHasRoom(entry.pack, wideName, units)) {
            Log(TRC, "Moving %x to %x", static_cast<unsigned>(id),
                static_cast<unsigned>(entry.pack));
            (void)RequestMove(id, entry.pack, 0, true, JOB_STORE);  // a refusal ended the job
            break;
        }
    }
    return matched;
}
