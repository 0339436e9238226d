// The control panel: binding the view's named controls, and the button, choice and view
// activation handlers.
#include <string>

#include "plugin/Tarnik.h"

namespace {

// The Buy page: each text goes to the game's chat parser as if typed, Enter included.
const char* BuyCommand(LONG id) {
    switch (id) {
        case control::pbAll:
            return "/fillcomps\r";
        case control::pbScarabs:
            return "/fillcomps scarabs\r";
        case control::pbHerbs:
            return "/fillcomps herbs\r";
        case control::pbPowders:
            return "/fillcomps powders\r";
        case control::pbPotions:
            return "/fillcomps potions\r";
        case control::pbTalismans:
            return "/fillcomps talismans\r";
        case control::pbTapers:
            return "/fillcomps tapers\r";
        case control::pbPeas:
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
    ForEachControl(*this, [&]<class I>(control::Id, const char* name, CComPtr<I>& out) {
        if (FAILED(failure))
            return;
        CComPtr<IControl> control;
        HRESULT hr = m_pView->get_Control(CComBSTR(name), &control);
        if (SUCCEEDED(hr) && control)
            hr = control.QueryInterface(&out);
        else if (SUCCEEDED(hr))
            hr = E_FAIL;
        if (FAILED(hr)) {
            // Qualified: GCC 12 cannot resolve a using-enum name inside a template lambda.
            Log(LogLevel::ERR, "Control %s not found (0x%08x)", name, static_cast<unsigned>(hr));
            failure = hr;
        }
    });
    if (FAILED(failure))
        TeardownControls();
    return failure;
}

void CTarnik::TeardownControls() {
    Log(INF, "TeardownControls");
    ForEachControl(*this, [](control::Id, const char*, auto& reference) { reference.Release(); });
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
        case control::pbSort:
            EndJob();
            SortFromChoice();
            break;
        case control::pbStore:
            Store();
            break;
        case control::pbPack:
            Pack();
            break;
        case control::pbHelp:
            Help();
            break;
        case control::pbCram:
            Cram();
            break;
        case control::pbSetCfg:
            Config();
            break;
        case control::pbRemoveCfg:
            RemConfig();
            break;
        case control::pbPin:
            Pin();
            break;
        case control::pbUnpin:
            UnPin();
            break;
        case control::pbRemoveAll:
            ClearAll();
            break;
        case control::pbEquip:
            EquipButton();
            break;
        case control::pbStrip:
            Strip('A');
            break;
        case control::pbNewProfile:
            NewProfile();
            break;
        case control::pbRecord:
            Record();
            break;
        case control::pbDelete:
            DeleteProfile();
            break;
        case control::pbAddStrip:
            AddStrip('A');
            break;
        case control::pbAddStripJewelry:
            AddStrip('J');
            break;
        case control::pbAddStripWeapons:
            AddStrip('W');
            break;
        case control::pbSetHotkey:
            SetHotkey();
            break;
        case control::pbSaveHot:
            SaveHotCommand();
            break;
        case control::pbDeleteHot:
            DeleteHotCommand();
            break;
        default:
            // Any other id is no button of ours.
            break;
    }
}

void CTarnik::onChoice(LONG id, LONG index) {
    Log(TRC, "onChoice %d %d", id, index);
    switch (id) {
        case control::chOutputWindow:
            onOutputWindowChoice(index);
            break;
        case control::chHotkeyItem:
            onHotkeyChoice(index);
            break;
        case control::chHotCommand:
            onHotCommandChoice(index);
            break;
        default:
            break;
    }
}

void CTarnik::OnActivate() {
    Log(INF, "OnActivate");
    if (!PointersValid())
        return;
    ShowPacks();
}

void CTarnik::OnSelectedChanged(LONG id) {
    Log(INF, "OnSelectedChanged");
    m_SelectedObject = static_cast<ObjectId>(id);
    ShowPacks();
}
