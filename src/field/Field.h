// The field subsystem owns what the character does out in the world. Its operations are
// CTarnik's Heal (with the best healing kit), UseStaminaElixir and UseGem
// (Consumables.cpp), which find their item in the inventory and use it on the character;
// and the corpse tracking (Corpses.cpp): OnObjectCreated and OnObjectReleased keep the
// table of corpses the World filter reports, SelectNextCorpse and OpenNextCorpse step
// through them nearest first, each once per cycle. Nothing here waits for the server. The
// type codes and property keys it reads are the host's, in plugin/host/Contract.h.
#pragma once

#include "inventory/Inventory.h"
#include "plugin/host/Contract.h"
