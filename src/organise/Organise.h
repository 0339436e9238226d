// The organising subsystem owns putting packs in order: sorting one pack or all of them,
// cram, pack, store with its pins, merging partial stacks, and moving items between
// packs. Its pure helpers are the sort keys, the rule of which items a sort files and
// the rule of the next merge move (Merge.h).
#pragma once

#include "organise/Merge.h"
#include "organise/SortKeys.h"

class CTarnik;

// The two chat lines of a sort that cannot read its pack.
void WriteSortRefusal(CTarnik& tarnik);
