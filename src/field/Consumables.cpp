// Consumables: healing with the best kit, a stamina drink, a Gem of Stillness. Each finds
// its item in the inventory and asks the host to use it on the character; nothing waits.
#include <string>

#include "field/Field.h"
#include "plugin/Tarnik.h"

namespace {

constexpr LONG kNoKitUses = 999;  // a kit reporting this many uses or more is never taken

// Kinds of healing kit, better ones last.
enum class KitKind { Plain, Herbal, Plentiful };

KitKind KindOf(const std::string& name) {
    if (name.find("Plentiful") != std::string::npos)
        return KitKind::Plentiful;
    if (name.find("Herbal") != std::string::npos)
        return KitKind::Herbal;
    return KitKind::Plain;
}

// The first carried item whose name the test accepts, or 0.
template <class NameTest>
ObjectId FirstCarried(CTarnik& tarnik, NameTest&& accepts) {
    ObjectId found = 0;
    WalkView(tarnik, InventoryView(tarnik.m_pWorld), WALK_CONSUMABLE, [&](IWorldObject* object) {
        if (!accepts(NameOf(object)))
            return true;
        found = IdOf(object);
        return false;
    });
    return found;
}

}  // namespace

void CTarnik::Heal() {
    EndJob();
    Log(INF, "Heal");
    Log(TRC, "Healing with kits");
    // Kits of the best kind seen so far compete on their uses; a better kind starts the
    // competition over, and lesser kinds are passed over from then on.
    ObjectId best = 0;
    LONG bestUses = kNoKitUses;
    KitKind bestKind = KitKind::Plain;
    WalkView(*this, InventoryView(m_pWorld), WALK_HEAL, [&](IWorldObject* object) {
        if (TypeOf(object) != TYPE_HEALING_KIT)
            return true;
        KitKind kind = KindOf(NameOf(object));
        if (kind < bestKind)
            return true;
        if (kind > bestKind) {
            bestKind = kind;
            bestUses = kNoKitUses;
        }
        LONG uses = IntValue(object, KEY_KIT_USES);
        if (uses < bestUses) {
            best = IdOf(object);
            bestUses = uses;
        }
        return true;
    });
    if (best == 0)
        WriteToChat("No healing kits found, healing mode switched to resting");
    else
        UseOnCharacter(best);
}

void CTarnik::UseStaminaElixir() {
    EndJob();
    Log(INF, "Restoring stamina with Elixir");
    ObjectId drink = FirstCarried(*this, [](const std::string& name) {
        return name.starts_with("Stamina") || name.starts_with("Wah Cho");
    });
    if (drink != 0) {
        UseOnCharacter(drink);
        return;
    }
    Log(TRC, "Stam elixir not found");
    WriteToChat("Stamina drink not found");
}

void CTarnik::UseGem() {
    EndJob();
    Log(INF, "Gemming");
    ObjectId gem =
        FirstCarried(*this, [](const std::string& name) { return name == "Gem of Stillness"; });
    if (gem != 0) {
        UseOnCharacter(gem);
        return;
    }
    Log(TRC, "Gem not found");
    WriteToChat("No Gems of Stillness found.");
}
