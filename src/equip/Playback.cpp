// Playing an equipment profile one confirmed step at a time, and stripping worn items
// into their pinned packs or the main pack.
#include <string>

#include "equip/Equip.h"
#include "inventory/Inventory.h"
#include "plugin/Choices.h"
#include "plugin/Tarnik.h"

namespace {

constexpr UINT kEquipStartMs = 50;
constexpr UINT kStripStepMs = 50;

}  // namespace

void CTarnik::Strip(char kind) {
    // During a recording the items a strip puts away are not recorded one by one, so the
    // strip must be recorded as a step, or the recording would lose them.
    if (m_Recording) {
        AddStrip(kind);
        return;
    }
    StartStrip(kind);
}

void CTarnik::StartStrip(char kind) {
    EndJob();
    m_StripKind = kind;
    Stripping();
}

void CTarnik::AddStrip(char kind) {
    Log(INF, "AddStrip %c", kind);
    if (!m_Recording) {
        WriteToChat("Start recording before getting nekkid.");
        return;
    }
    if (!m_Actions)
        m_Actions.emplace();
    const StripKind* strip = FindStripKind(kind);
    if (!strip)
        return;
    m_Actions->push_back(EquipAction{strip->action, 0, std::string(strip->stepName)});
    // What the strip puts away is the recorded step, not a list of take-offs.
    m_Stripping = true;
    WriteToChat("Strip added to profile!");
    StartStrip(kind);
}

void CTarnik::Stripping() {
    Log(INF, "Stripping");
    if (StripOne(JOB_STRIP) == StripResult::Moved) {
        m_Stripping = true;
        return;
    }
    // Nothing left to put away, or the host refused (the job has ended, saying so).
    EndJob();
    m_Stripping = false;
}

CTarnik::StripResult CTarnik::StripOne(JobCode job) {
    Log(TRC, "StripOne %c", m_StripKind);
    StripResult result = StripResult::NothingLeft;
    const StripKind* strip = FindStripKind(m_StripKind);
    CComPtr<IWorldIterator> view = ContainerView(m_pWorld, m_Me);
    WalkView(*this, view, WALK_STRIP, [&](IWorldObject* object) {
        if (IntValue(object, KEY_SLOT) != SLOT_WORN)
            return true;
        if (!strip || !strip->takes(TypeOf(object)))
            return true;
        ObjectId item = IdOf(object);
        Log(TRC, "Stripping %d", static_cast<int>(item));
        auto pin = m_Pins.find(item);
        ObjectId destination = pin != m_Pins.end() ? pin->second : m_Me;
        if (!PackHasRoom(destination, {}, 1)) {
            WriteToChat("No room to put item away.");
            return true;
        }
        result = RequestMove(item, destination, 0, false, job) ? StripResult::Moved
                                                               : StripResult::Refused;
        return false;
    });
    return result;
}

void CTarnik::EquipButton() {
    Log(INF, "Equip");
    LONG index = SelectedIndex(m_chEquip);
    if (index < 0) {
        WriteToChat("No profile selected to equip");
        return;
    }
    Equip(ChoiceText(m_chEquip, index));
}

void CTarnik::Equip(const std::string& name) {
    // Recording and playback share m_Actions: playing now would record the played steps.
    if (m_Recording) {
        WriteToChat("Stop recording before playing a profile.");
        return;
    }
    Log(TRC, "Equip %s", name.c_str());
    // A strip abandoned earlier is not this profile's step.
    m_Stripping = false;
    m_Actions.emplace();
    ReadProfile(name);
    m_EquipPos = 0;
    Log(TRC, "Equipping: position %d", m_EquipPos);
    StartJob(JOB_EQUIP, kEquipStartMs);
}

void CTarnik::EquipNext() {
    Log(TRC, "EquipNext");
    if (!m_Actions) {
        EndJob();
        return;
    }
    if (m_Stripping) {
        switch (StripOne(JOB_EQUIP)) {
            case StripResult::Moved:
                return;
            case StripResult::Refused:
                EndPlayback();
                return;
            case StripResult::NothingLeft:
                m_Stripping = false;
                break;
        }
    }
    Log(TRC, "EquipNext position %d", m_EquipPos);
    while (m_EquipPos >= 0 && static_cast<std::size_t>(m_EquipPos) < m_Actions->size()) {
        EquipAction step = (*m_Actions)[static_cast<std::size_t>(m_EquipPos)];
        ++m_EquipPos;
        Log(TRC, "Action: %d, item: %u", step.action, step.item);
        if (const StripKind* strip = StripKindOf(step.action)) {
            Log(INF, "%.*s", static_cast<int>(strip->stepName.size()), strip->stepName.data());
            m_StripKind = strip->code;
            m_Stripping = true;
            ArmTimer(kStripStepMs);
            return;
        }
        if (step.action != EQUIP_ACTION_EQUIP && step.action != EQUIP_ACTION_UNEQUIP)
            continue;
        CComPtr<IWorldObject> object = FindObject(m_pWorld, step.item);
        if (!object)
            continue;  // sold, dropped or given away since the recording
        bool worn = IntValue(object, KEY_SLOT) == SLOT_WORN;
        if (step.action == EQUIP_ACTION_EQUIP) {
            if (worn)
                continue;
            if (!RequestWear(step.item, JOB_EQUIP))
                EndPlayback();
            return;
        }
        if (!worn)
            continue;
        auto pin = m_Pins.find(step.item);
        ObjectId destination = pin != m_Pins.end() ? pin->second : m_Me;
        if (!PackHasRoom(destination, {}, 1)) {
            WriteToChat("No room to put item away. Profile aborted.");
            EndPlayback();
            return;
        }
        if (!RequestMove(step.item, destination, 0, false, JOB_EQUIP))
            EndPlayback();
        return;
    }
    EndPlayback();
}

void CTarnik::EndPlayback() {
    m_Actions.reset();
    EndJob();
    m_Stripping = false;
}
