// The organising subsystem owns putting packs in order. Its operations are CTarnik's Sort
// and SortFromChoice (Sort.cpp); sorting every pack in turn (AllSort.cpp); Config,
// RemConfig, ClearAll, Pin, UnPin and ShowPacks, the configured packs of items and the pins
// (Pins.cpp); Store (Store.cpp); Pack and Cram (Cram.cpp); merging partial stacks
// (Merge.cpp); and Move between packs (Move.cpp); each long one goes on in its job step.
// Its pure helpers are the sort keys, the rule of which items a sort files and the rule of
// the next merge move (Merge.h).
#pragma once

#include "organise/Merge.h"
#include "organise/SortKeys.h"

class CTarnik;

// The two chat lines of a sort that cannot read its pack.
void WriteSortRefusal(CTarnik& tarnik);
