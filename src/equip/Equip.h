// The equipment subsystem owns what the character wears: the server messages that confirm
// moves and feed a recording, and the equip list of worn items now; profiles, playback
// and strip when they are built. Its operations are CTarnik's OnServerMessage with
// InsertInvItem, WearItem and StackAdjusted, and CreateEquipList, AddEquipList,
// IsInEquipList, RemoveFromEquipList and ShowEquipList (ServerMessages.cpp). The message
// types and fields it reads are the host's, in plugin/host/Contract.h.
#pragma once

#include "inventory/Inventory.h"
#include "plugin/host/Contract.h"
