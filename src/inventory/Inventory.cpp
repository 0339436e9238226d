// Pack slot names, world-object readers, the side-pack list, the room test and the
// move request every mover issues.
#include "inventory/Inventory.h"

#include "plugin/Scheduler.h"

const char* PackSlotNames(std::int32_t packSlot) {
    static const char* const kNames[PACK_SLOT_COUNT] = {"First", "Second", "Third",  "Fourth",
                                                        "Fifth", "Sixth",  "Seventh"};
    if (packSlot < 0 || packSlot >= PACK_SLOT_COUNT)
        return "Unknown";
    return kNames[packSlot];
}

LogLevel WalkLogLevel(std::int32_t walk) {
    return walk == WALK_ROOM_COUNT || walk == WALK_ROOM_STACKS ? LogLevel::TRC : LogLevel::ERR;
}

LONG IntValue(IWorldObject* object, LONG key) {
    LONG value = 0;
    if (!object || FAILED(object->Values(key, 0, &value)))
        return 0;
    return value;
}

double RealValue(IWorldObject* object, LONG key) {
    double value = 0.0;
    if (!object || FAILED(object->RealValues(key, 0.0, &value)))
        return 0.0;
    return value;
}

ObjectId IdOf(IWorldObject* object) {
    LONG id = 0;
    if (!object || FAILED(object->get_Id(&id)))
        return 0;
    return static_cast<ObjectId>(id);
}

LONG TypeOf(IWorldObject* object) {
    LONG type = 0;
    if (!object || FAILED(object->get_Type(&type)))
        return 0;
    return type;
}

std::string NameOf(IWorldObject* object) {
    CComBSTR name;
    if (!object || FAILED(object->get_Name(&name)))
        return {};
    return name.ToUtf8();
}

OleString WideNameOf(IWorldObject* object) {
    CComBSTR name;
    if (!object || FAILED(object->get_Name(&name)))
        return {};
    return OleString(name.View());
}

std::string ItemLabel(IWorld* world, ObjectId id) {
    std::string name = NameOf(FindObject(world, id));
    return name.empty() ? "item " + std::to_string(id) : name;
}

CComPtr<IWorldObject> FindObject(IWorld* world, ObjectId id) {
    CComPtr<IWorldObject> object;
    if (world && world->get_Object(static_cast<LONG>(id), &object) != S_OK)
        object.Release();
    return object;
}

CComPtr<IWorldIterator> InventoryView(IWorld* world) {
    CComPtr<IWorldIterator> view;
    if (world && FAILED(world->get_Inventory(&view)))
        view.Release();
    return view;
}

CComPtr<IWorldIterator> ContainerView(IWorld* world, ObjectId container) {
    CComPtr<IWorldIterator> view;
    if (world && FAILED(world->get_ByContainer(static_cast<LONG>(container), &view)))
        view.Release();
    return view;
}

void CTarnik::SetPacks() {
    Log(INF, "SetPacks");
    m_PackList.clear();
    if (!m_pWorld)
        return;
    CComPtr<IWorldIterator> view = InventoryView(m_pWorld);
    if (!view) {
        WriteToChat("Unable to get Inventory filter. Tarnik! cannot operate.");
        return;
    }
    Log(TRC, "Iterating Inventory");
    WalkView(*this, view, WALK_PACKS, [&](IWorldObject* object) {
        ObjectId id = IdOf(object);
        if (IntValue(object, KEY_ITEM_SLOTS) > 0 && id != m_Me)
            m_PackList.push_back(id);
        return true;
    });
    Log(TRC, "Iteration complete");
}

bool CTarnik::PackHasRoom(ObjectId pack, const OleString& name, LONG count) {
    Log(TRC, "PackHasRoom");
    CComPtr<IWorldIterator> view = InventoryView(m_pWorld);
    CComPtr<IWorldObject> packObject = FindObject(m_pWorld, pack);
    if (!packObject) {
        if (!m_PackMissingShown) {
            WriteToChat(
                "Destination pack not found. If relogging does not clear this error, or you "
                "have recently added, removed, or changed packs;");
            WriteToChat(
                "On the config tab, remove the configuration for this character, and set the "
                "pack configurations again.) ");
            m_PackMissingShown = true;
        }
        return false;
    }
    if (!view) {
        Log(ERR, "PackHasRoom: no inventory view");
        return false;
    }

    view->ByContainer(static_cast<LONG>(pack));
    LONG used = 0;
    view->get_Count(&used);
    if (pack == m_Me) {
        // Worn and wielded items are listed with the main pack but take none of its slots.
        used = 0;
        WalkView(*this, view, WALK_ROOM_COUNT, [&](IWorldObject* object) {
            if (IntValue(object, KEY_SLOT) != SLOT_WORN)
                ++used;
            return true;
        });
    }
    view->Reset();
    if (used < IntValue(packObject, KEY_ITEM_SLOTS))
        return true;
    if (name.empty())
        return false;

    bool merges = false;
    LONG best = 0;
    WalkView(*this, view, WALK_ROOM_STACKS, [&](IWorldObject* object) {
        if (WideNameOf(object) != name)
            return true;
        LONG room = IntValue(object, KEY_STACK_MAX) - IntValue(object, KEY_STACK_COUNT);
        if (count <= room) {
            merges = true;
            return false;
        }
        if (room > 0 && room > best)
            best = room;
        return true;
    });
    if (merges)
        return true;
    if (best >= 1) {
        Split(best);
        return true;
    }
    return false;
}

bool CTarnik::RequestMove(ObjectId item, ObjectId container, LONG slot, bool merge, JobCode job) {
    if (!m_pHooks) {
        // Nothing can confirm a move that was never asked for, so no job waits on it.
        Log(ERR, "No hooks to move %x", static_cast<unsigned>(item));
        EndJob();
        return false;
    }
    HRESULT hr = m_pHooks->SelectItem(static_cast<LONG>(item));
    if (FAILED(hr))
        Log(ERR, "SelectItem %x failed (0x%08x)", static_cast<unsigned>(item),
            static_cast<unsigned>(hr));
    hr = m_pHooks->MoveItemEx(static_cast<LONG>(item), static_cast<LONG>(container), slot,
                              merge ? VARIANT_TRUE : VARIANT_FALSE);
    if (FAILED(hr)) {
        Log(ERR, "MoveItemEx %x to %x slot %d failed (0x%08x)", static_cast<unsigned>(item),
            static_cast<unsigned>(container), slot, static_cast<unsigned>(hr));
        EndRefusedJob(item, job, "move");
        return false;
    }
    AwaitConfirmation(item, job);
    return true;
}

bool CTarnik::UseOnCharacter(ObjectId item) {
    if (!m_pHooks) {
        Log(ERR, "No hooks to use %x", static_cast<unsigned>(item));
        return false;
    }
    HRESULT hr = m_pHooks->UseItemOnTarget(static_cast<LONG>(item), static_cast<LONG>(m_Me));
    if (FAILED(hr)) {
        Log(ERR, "UseItemOnTarget %x on %x failed (0x%08x)", static_cast<unsigned>(item),
            static_cast<unsigned>(m_Me), static_cast<unsigned>(hr));
        return false;
    }
    return true;
}

bool CTarnik::RequestWear(ObjectId item, JobCode job) {
    if (!UseOnCharacter(item)) {
        if (m_pHooks)
            EndRefusedJob(item, job, "put on");
        else
            EndJob();  // nothing was asked for, so nothing is refused either
        return false;
    }
    AwaitConfirmation(item, job);
    return true;
}

void CTarnik::EndRefusedJob(ObjectId item, JobCode job, const char* verb) {
    // No confirmation will come for a request the host did not take.
    EndJob();
    WriteToChat("%s stopped: the game refused to %s %s.", JobName(job), verb,
                ItemLabel(m_pWorld, item).c_str());
}
