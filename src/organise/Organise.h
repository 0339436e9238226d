// The organising subsystem owns putting packs in order. Its operations are CTarnik's Sort
// and SortFromChoice (Sort.cpp); Config, RemConfig, ClearAll, Pin, UnPin and ShowPacks,
// the configured packs of items and the pins (Pins.cpp); Store (Store.cpp); Pack and
// Cram (Cram.cpp); and Move between packs (Move.cpp); each long one goes on in its job
// step (SortNext, StoreNext, PackNext, CramNext, MoveNext). Its pure helpers are the sort
// keys and the rule of which items a sort files.
#pragma once

#include "organise/SortKeys.h"
