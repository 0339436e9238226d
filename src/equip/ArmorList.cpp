// The armor list: the ids of the worn armor that can take enchantments, as text for a hot
// command's "<armor>" marker.
#include <cstdio>
#include <string>

#include "inventory/Inventory.h"
#include "plugin/Tarnik.h"

bool CTarnik::ArmorList(std::string& text) {
    Log(INF, "ArmorList");
    text.clear();
    // Worn items lie in the character itself, so its own view holds them all without the
    // side packs' contents.
    CComPtr<IWorldIterator> view = ContainerView(m_pWorld, m_Me);
    if (!view) {
        WriteToChat("Unable to get Inventory filter. Armorlist failed.");
        return true;
    }
    bool pending = false;
    WalkView(*this, view, WALK_PACKS, [&](IWorldObject* object) {
        if (IntValue(object, KEY_SLOT) != SLOT_WORN || IntValue(object, KEY_EQUIPABLE) == 0)
            return true;
        ObjectId id = IdOf(object);
        VARIANT_BOOL identified = VARIANT_FALSE;
        if (FAILED(object->get_HasIdData(&identified)) || identified == VARIANT_FALSE) {
            if (m_pHooks)
                m_pHooks->RequestId(static_cast<LONG>(id));
            pending = true;
            return true;
        }
        LONG unenchantable = IntValue(object, KEY_UNENCHANTABLE);
        if (unenchantable <= 0) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%x ", static_cast<unsigned>(id));
            text += hex;
        } else {
            WriteToChat("Guid %X appears to be unenchantable, %d: %d", static_cast<unsigned>(id),
                        static_cast<int>(identified), unenchantable);
        }
        return true;
    });
    if (pending) {
        WriteToChat("Checking for non-buffable items");
        text.clear();
        return false;
    }
    return true;
}
