// The game server's messages: dispatch, the confirmations that arm the step timer, the
// equip list of worn items, and the Equip and Unequip steps of a recording.
#include "equip/Equip.h"
#include "plugin/Scheduler.h"
#include "plugin/Tarnik.h"

namespace {

constexpr UINT kConfirmIntervalMs = 105;
constexpr UINT kStackIntervalMs = 500;

LONG Field(IMessage2* message, const char* name) {
    LONG value = 0;
    if (FAILED(message->get_Value(CComBSTR(name), &value)))
        return 0;
    return value;
}

}  // namespace

void CTarnik::OnServerMessage(IMessage2* message) {
    if (!message)
        return;
    LONG type = 0;
    if (FAILED(message->get_Type(&type)))
        return;
    if (type == MSG_STACK_ADJUSTED) {
        StackAdjusted(message);
    } else if (type == MSG_GAME_EVENT) {
        LONG event = Field(message, FIELD_EVENT);
        if (event == EVENT_INSERT_INV_ITEM)
            InsertInvItem(message);
        else if (event == EVENT_WEAR_ITEM)
            WearItem(message);
    }
}

void CTarnik::WearItem(IMessage2* message) {
    Log(INF, "WearItem");
    ObjectId item = static_cast<ObjectId>(Field(message, FIELD_ITEM));
    LONG slot = Field(message, FIELD_SLOT);
    Log(TRC, "WearItem %u covering %x", item, static_cast<unsigned>(slot));
    CComPtr<IWorldObject> object = FindObject(m_pWorld, item);
    if (!object)
        return;
    VARIANT_BOOL hasIdData = VARIANT_TRUE;
    object->get_HasIdData(&hasIdData);
    if (hasIdData == VARIANT_FALSE) {
        Log(TRC, "Requesting ID data");
        if (m_pHooks)
            m_pHooks->RequestId(static_cast<LONG>(item));
    }
    AddEquipList(item);
    if (m_Recording) {
        std::string name = NameOf(object);
        if (!m_Actions)
            m_Actions.emplace();
        m_Actions->push_back(EquipAction{EQUIP_ACTION_EQUIP, item, "Equip " + name});
        WriteToChat("Equipping %s added to profile!", name.c_str());
    } else if (m_Job == JOB_EQUIP) {
        StepAfterConfirmation(kConfirmIntervalMs);
    }
}

void CTarnik::InsertInvItem(IMessage2* message) {
    Log(TRC, "InsertInvItem");
    ObjectId item = static_cast<ObjectId>(Field(message, FIELD_ITEM));
    ObjectId container = static_cast<ObjectId>(Field(message, FIELD_CONTAINER));
    Log(TRC, "%u in %u", item, container);
    CComPtr<IWorldObject> object = FindObject(m_pWorld, item);
    if (m_Recording && IsInEquipList(item)) {
        RemoveFromEquipList(item);
        if (!object) {
            // The step's label needs the name; an item the filter has forgotten is left out.
            Log(ERR, "Unequip of unknown item %x not recorded", static_cast<unsigned>(item));
        } else if (!m_Stripping) {
            std::string name = NameOf(object);
            if (!m_Actions)
                m_Actions.emplace();
            m_Actions->push_back(EquipAction{EQUIP_ACTION_UNEQUIP, item, "Unequip " + name});
            WriteToChat("Unequip of %s added to profile!", name.c_str());
        }
    }
    if (AwaitsConfirmation(m_Job) && item == m_AwaitedItem)
        StepAfterConfirmation(kConfirmIntervalMs);
}

void CTarnik::StackAdjusted(IMessage2* message) {
    ObjectId item = static_cast<ObjectId>(Field(message, FIELD_ITEM));
    ObjectId count = static_cast<ObjectId>(Field(message, FIELD_COUNT));
    Log(TRC, "StackAdjusted %u count: %u", item, count);
    if (m_Job == JOB_STORE)
        StepAfterConfirmation(kStackIntervalMs);
    // A merge move that the game merges reports the stack it filled; no item is inserted.
    else if (m_Job == JOB_MERGE && item == m_MergeTarget)
        StepAfterConfirmation(kConfirmIntervalMs);
}

void CTarnik::CreateEquipList() {
    Log(INF, "CreateEquipList");
    m_EquipList.clear();
    CComPtr<IWorldIterator> view = InventoryView(m_pWorld);
    WalkView(*this, view, WALK_EQUIP_LIST, [&](IWorldObject* object) {
        if (IntValue(object, KEY_SLOT) == SLOT_WORN)
            m_EquipList.push_back(IdOf(object));
        return true;
    });
}

void CTarnik::AddEquipList(ObjectId item) {
    Log(INF, "AddEquipList");
    m_EquipList.push_back(item);
}

bool CTarnik::IsInEquipList(ObjectId item) const {
    Log(TRC, "IsInEquipList");
    for (ObjectId worn : m_EquipList)
        if (worn == item)
            return true;
    return false;
}

void CTarnik::RemoveFromEquipList(ObjectId item) {
    Log(INF, "RemoveFromEquipList");
    for (auto it = m_EquipList.begin(); it != m_EquipList.end(); ++it) {
        if (*it == item) {
            m_EquipList.erase(it);
            return;
        }
    }
}

void CTarnik::ShowEquipList() {
    Log(TRC, "Displaying equip list");
    for (ObjectId item : m_EquipList) {
        CComPtr<IWorldObject> object = FindObject(m_pWorld, item);
        if (!object) {
            Log(TRC, "Equipped item %x is no longer known", static_cast<unsigned>(item));
            continue;
        }
        WriteToChat("Equipped: %s", NameOf(object).c_str());
    }
}
