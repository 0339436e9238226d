// The control panel: binding the view's named controls, and the button, choice and view
// activation handlers.
#include <string>

#include "plugin/Tarnik.h"

namespace {

// Calls f(name, reference) for the 42 bound controls, in binding order.
template <class F>
void ForEachControl(CTarnik& t, F&& f) {
    f("pbStore", t.m_pbStore);
    f("pbPack", t.m_pbPack);
    f("pbCram", t.m_pbCram);
    f("pbHelp", t.m_pbHelp);
    f("pbSort", t.m_pbSort);
    f("pbStrip", t.m_pbStrip);
    f("pbEquip", t.m_pbEquip);
    f("pbSetHotkey", t.m_pbSetHotkey);
    f("pbSaveHot", t.m_pbSaveHot);
    f("pbDeleteHot", t.m_pbDeleteHot);
    f("pbSetCfg", t.m_pbSetCfg);
    f("pbRemoveCfg", t.m_pbRemoveCfg);
    f("pbScarabs", t.m_pbScarabs);
    f("pbHerbs", t.m_pbHerbs);
    f("pbPowders", t.m_pbPowders);
    f("pbPotions", t.m_pbPotions);
    f("pbTalismans", t.m_pbTalismans);
    f("pbPin", t.m_pbPin);
    f("pbUnpin", t.m_pbUnpin);
    f("pbRemoveAll", t.m_pbRemoveAll);
    f("pbNewProfile", t.m_pbNewProfile);
    f("pbRecord", t.m_pbRecord);
    f("pbDelete", t.m_pbDelete);
    f("pbAddStrip", t.m_pbAddStrip);
    f("pbAddStripWeapons", t.m_pbAddStripWeapons);
    f("pbAddStripJewelry", t.m_pbAddStripJewelry);
    f("pbAll", t.m_pbAll);
    f("pbTapers", t.m_pbTapers);
    f("pbPeas", t.m_pbPeas);
    f("ceNewProfile", t.m_ceNewProfile);
    f("edHotAction", t.m_edHotAction);
    f("edHotCommand", t.m_edHotCommand);
    f("stCfg", t.m_stCfg);
    f("stPin", t.m_stPin);
    f("stHotkeyValue", t.m_stHotkeyValue);
    f("chEquip", t.m_chEquip);
    f("chEquipProfile", t.m_chEquipProfile);
    f("chHotkeyItem", t.m_chHotkeyItem);
    f("chHotCommand", t.m_chHotCommand);
    f("chSortBy", t.m_chSortBy);
    f("chOutputWindow", t.m_chOutputWindow);
    f("cbReverse", t.m_cbReverse);
}

// The Buy page: each text goes to the game's chat parser as if typed, Enter included.
const char* BuyCommand(LONG id) {
    switch (id) {
        case 201:
            return "/fillcomps\r";
        case 202:
            return "/fillcomps scarabs\r";
        case 203:
            return "/fillcomps herbs\r";
        case 204:
            return "/fillcomps powders\r";
        case 205:
            return "/fillcomps potions\r";
        case 206:
            return "/fillcomps talismans\r";
        case 207:
            return "/fillcomps tapers\r";
        case 208:
            return "/fillcomps peas\r";
        default:
            return nullptr;
    }
}

}  // namespace

HRESULT CTarnik::SetupControls() {
    Log(INF, "SetupControls");
    if (!m_pView)
        return E_POINTER;
    HRESULT failure = S_OK;
    ForEachControl(*this, [&]<class I>(const char* name, CComPtr<I>& out) {
        if (FAILED(failure))
            return;
        CComPtr<IControl> control;
        HRESULT hr = m_pView->get_Control(CComBSTR(name), &control);
        if (SUCCEEDED(hr) && control)
            hr = control.QueryInterface(&out);
        else if (SUCCEEDED(hr))
            hr = E_FAIL;
        if (FAILED(hr)) {
            Log(ERR, "Control %s not found (0x%08x)", name, static_cast<unsigned>(hr));
            failure = hr;
        }
    });
    if (FAILED(failure))
        TeardownControls();
    return failure;
}

void CTarnik::TeardownControls() {
    Log(INF, "TeardownControls");
    ForEachControl(*this, [](const char*, auto& reference) { reference.Release(); });
}

void CTarnik::onButton(LONG id) {
    Log(INF, "onButton");
    // A running job owns the packs; only a chat command or a hotkey may abandon it.
    if (m_Job != JOB_NONE)
        return;
    if (!PointersValid())
        return;
    Log(TRC, "onButton - Id: %d", id);
    if (const char* text = BuyCommand(id)) {
        SendText(text);
        return;
    }
    switch (id) {
        case 102:  // pbSort
            m_Job = JOB_NONE;
            SortFromChoice();
            break;
        case 104:  // pbHelp
            Help();
            break;
        case 105:  // pbEquip
            EquipButton();
            break;
        case 107:  // pbStrip
            Strip('A');
            break;
        case 306:  // pbNewProfile
            NewProfile();
            break;
        case 308:  // pbRecord
            Record();
            break;
        case 309:  // pbDelete
            DeleteProfile();
            break;
        case 311:  // pbAddStrip
            AddStrip('A');
            break;
        case 313:  // pbAddStripJewelry
            AddStrip('J');
            break;
        case 314:  // pbAddStripWeapons
            AddStrip('W');
            break;
        case 401:  // pbSetHotkey
            SetHotkey();
            break;
        default:
            // Store, Pack, Cram, the pack configuration and hot commands start actions
            // that are not built yet; other ids are no button of ours.
            break;
    }
}

void CTarnik::onChoice(LONG id, LONG index) {
    Log(TRC, "onChoice %d %d", id, index);
    switch (id) {
        case 361:  // chOutputWindow
            onOutputWindowChoice(index);
            break;
        case 402:  // chHotkeyItem
            onHotkeyChoice(index);
            break;
        default:
            // 404 (chHotCommand) gets its handler with hot commands.
            break;
    }
}

void CTarnik::OnActivate() {
    Log(INF, "OnActivate");
    if (!PointersValid())
        return;
    // The Config page refresh for the current selection comes with pack configuration.
}

void CTarnik::OnSelectedChanged(LONG id) {
    Log(INF, "OnSelectedChanged");
    m_SelectedObject = static_cast<ObjectId>(id);
    // The Config page texts follow the selection once pack configuration exists.
}
