// The organising subsystem owns putting packs in order: sorting one pack now; cram, pack,
// store with its pins, and moving items between packs when they are built. Its
// operations are CTarnik's Sort, SortFromChoice and SortNext (Sort.cpp). Its pure
// helpers are the sort keys and the rule of which items a sort files.
#pragma once

#include "organise/SortKeys.h"
