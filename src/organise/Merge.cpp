// Merge: partial stacks of one name inside each container joined into as few stacks as
// their units allow, one confirmed move per step, never across containers.
#include "organise/Merge.h"

#include <algorithm>

#include "inventory/Inventory.h"
#include "plugin/Tarnik.h"

bool IsPartialStack(const StackInfo& item) {
    return item.max >= 2 && item.count >= 1 && item.count < item.max;
}

std::optional<MergeStep> NextMergeStep(const std::vector<StackInfo>& items) {
    for (auto first = items.begin(); first != items.end(); ++first) {
        if (!IsPartialStack(*first))
            continue;
        auto sameName = [&](const StackInfo& other) {
            return IsPartialStack(other) && other.name == first->name;
        };
        // A name met before has no second partial stack, or it would have been taken.
        if (std::find_if(items.begin(), first, sameName) != first)
            continue;
        auto last = std::find_if(items.rbegin(), std::make_reverse_iterator(first + 1), sameName);
        if (last.base() - 1 == first)
            continue;
        const std::int32_t room = first->max - first->count;
        const std::int32_t units = std::min(last->count, room);
        return MergeStep{last->id, first->id, units, units == last->count};
    }
    return std::nullopt;
}

std::int32_t MergeMovesNeeded(std::vector<StackInfo> items) {
    std::int32_t moves = 0;
    while (std::optional<MergeStep> step = NextMergeStep(items)) {
        ++moves;
        for (StackInfo& item : items) {
            if (item.id == step->target)
                item.count += step->units;
            else if (item.id == step->source)
                item.count -= step->units;
        }
        std::erase_if(
            items, [&](const StackInfo& item) { return item.id == step->source && step->whole; });
    }
    return moves;
}

namespace {

// One container's stackable items, in slot order.
struct ContainerStacks {
    ObjectId container = 0;
    std::vector<StackInfo> items;
};

// The main pack, then the side packs in the host's order, from one walk of the inventory;
// nothing when the host gives no inventory view (the chat has said so). Names are read
// for stackable items only: they are few, and reading a name costs most.
std::optional<std::vector<ContainerStacks>> ReadStacks(CTarnik& tarnik) {
    CComPtr<IWorldIterator> inventory = InventoryView(tarnik.m_pWorld);
    if (!inventory) {
        tarnik.WriteToChat("Unable to get Inventory filter. Tarnik! cannot operate.");
        return std::nullopt;
    }
    std::vector<ContainerStacks> containers{{tarnik.m_Me, {}}};
    std::vector<std::pair<ObjectId, std::pair<LONG, StackInfo>>> stacks;
    WalkView(tarnik, inventory, WALK_MERGE, [&](IWorldObject* object) {
        // Most objects are no stack: one property read tells, and a second whether it is
        // a pack.
        const LONG max = IntValue(object, KEY_STACK_MAX);
        if (max < 2) {
            if (IntValue(object, KEY_ITEM_SLOTS) > 0) {
                if (ObjectId id = IdOf(object); id != tarnik.m_Me)
                    containers.push_back({id, {}});
            }
            return true;
        }
        const LONG slot = IntValue(object, KEY_SLOT);
        // Worn items are listed with the main pack but lie in none of its slots.
        if (slot == SLOT_WORN)
            return true;
        stacks.push_back({static_cast<ObjectId>(IntValue(object, KEY_CONTAINER)),
                          {slot, StackInfo{IdOf(object), NameOf(object),
                                           IntValue(object, KEY_STACK_COUNT), max}}});
        return true;
    });
    std::stable_sort(stacks.begin(), stacks.end(),
                     [](const auto& a, const auto& b) { return a.second.first < b.second.first; });
    for (ContainerStacks& container : containers)
        for (auto& [in, slotted] : stacks)
            if (in == container.container)
                container.items.push_back(std::move(slotted.second));
    return containers;
}

}  // namespace

void CTarnik::Merge() {
    EndJob();
    Log(INF, "Merge");
    m_MergeMoves = 0;
    m_MergeTarget = 0;
    std::optional<std::vector<ContainerStacks>> containers = ReadStacks(*this);
    if (!containers)
        return;
    // A game that takes a move without merging would leave the same step to do forever;
    // the moves the packs need now bound the job.
    m_MergeBudget = 0;
    for (ContainerStacks& container : *containers)
        m_MergeBudget += MergeMovesNeeded(std::move(container.items));
    MergeNext();
}

void CTarnik::MergeNext() {
    Log(TRC, "MergeNext");
    std::optional<std::vector<ContainerStacks>> containers = ReadStacks(*this);
    if (!containers) {
        EndJob();
        return;
    }
    for (const auto& [container, items] : *containers) {
        std::optional<MergeStep> step = NextMergeStep(items);
        if (!step)
            continue;
        Log(TRC, "Merging %d of %x into %x in %x", step->units, static_cast<unsigned>(step->source),
            static_cast<unsigned>(step->target), static_cast<unsigned>(container));
        if (m_MergeMoves >= m_MergeBudget) {
            Log(ERR, "Merge still finds work after %d moves", m_MergeMoves);
            EndJob();
            WriteToChat("Merge stopped: the packs kept changing while they were merged.");
            return;
        }
        m_MergeTarget = step->target;
        ++m_MergeMoves;
        if (m_pHooks && !step->whole) {
            // The split applies to the selected stack's next move.
            m_pHooks->SelectItem(static_cast<LONG>(step->source));
            Split(step->units);
        }
        (void)RequestMove(step->source, container, 0, true, JOB_MERGE);  // a refusal ended the job
        return;
    }

    const std::int32_t merged = m_MergeMoves;
    EndJob();
    if (merged == 0)
        WriteToChat("Merge complete: nothing to merge.");
    else
        WriteToChat("Merge complete: %d %s merged.", merged, merged == 1 ? "stack" : "stacks");
}
