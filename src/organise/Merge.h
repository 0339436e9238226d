// Merging partial stacks: the pure rule that picks one merge move inside one container.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plugin/Types.h"

// One item of a container as the merge sees it, in the container's slot order.
struct StackInfo {
    ObjectId id = 0;
    std::string name;
    std::int32_t count = 0;  // KEY_STACK_COUNT
    std::int32_t max = 0;    // KEY_STACK_MAX
};

// One merge move: `units` of `source` join `target`; when that is all of the source it
// merges whole and ceases to exist, otherwise the move takes a split of that many.
struct MergeStep {
    ObjectId source = 0;
    ObjectId target = 0;
    std::int32_t units = 0;
    bool whole = false;
    friend bool operator==(const MergeStep&, const MergeStep&) = default;
};

// A stack that can take more units: stackable (max 2 or more), holding at least one unit
// and fewer than its maximum.
bool IsPartialStack(const StackInfo& item);

// The next move that brings one name's partial stacks closer to a single partial stack,
// or nothing when no name has two. The name is the first, in slot order, with two partial
// stacks; the last of them fills the first, which is where the game's merge puts units
// of that name (the stacks before it are full). Every move fills its target or empties
// its source, so a name with n partial stacks takes at most n - 1 moves.
std::optional<MergeStep> NextMergeStep(const std::vector<StackInfo>& items);

// The moves NextMergeStep would make, one after another, to merge this container.
std::int32_t MergeMovesNeeded(std::vector<StackInfo> items);
