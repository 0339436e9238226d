// The control panel: binding the view's named controls, and the button, choice and view
// activation handlers.
#include <string>

#include "plugin/Tarnik.h"

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
    // Each button's handler is the last column of its row in plugin/Controls.def.
    switch (id) {
#define TARNIK_BUTTON(id, name, sinkOrder, handler) \
    case control::name:                             \
        handler;                                    \
        break;
#include "plugin/Controls.def"
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
