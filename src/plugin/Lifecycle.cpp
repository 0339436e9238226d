// CTarnik's start-up and shut-down, the wiring of host events to handlers, the host-object
// check before actions, and the character events.
#include "platform/ConnectionPoint.h"
#include "plugin/Tarnik.h"
#include "plugin/ViewDescription.h"
#include "plugin/host/HostEvents.h"

namespace {

constexpr const char* kBanner = "Initializing Tarnik 5.9.6";

// Why a host call failed, for the trace; the code itself goes back to the host.
void LogHostFailure(CTarnik& tarnik, const char* call, HRESULT hr) {
    tarnik.Log(LogLevel::ERR, "%s failed (0x%08x)", call, static_cast<unsigned>(hr));
}

// Asks PluginSite1 for a named object and queries it for I. A host that has none answers
// S_FALSE and leaves `out` empty; a failure code is the caller's to return.
template <class I>
HRESULT TakeNamedObject(IPluginSite* site1, const char* name, CComPtr<I>& out) {
    CComPtr<IUnknown> object;
    HRESULT hr = site1->get_Object(CComBSTR(name), &object);
    if (FAILED(hr))
        return hr;
    out = ComQuery<I>(object.get());
    return S_OK;
}

}  // namespace

HRESULT STDMETHODCALLTYPE CTarnik::Initialize(IPluginSite2* site) {
    m_Log.SetThreshold(TRC);
    Log(ALL, "%s", kBanner);
    if (m_Initialized || m_pSite) {
        // The host starts a plug-in once; a second start would overwrite held references.
        Log(ERR, "Initialize called again before Terminate");
        return E_UNEXPECTED;
    }
    if (!site) {
        Log(ERR, "No site!");
        return E_FAIL;
    }
    m_pSite = site;
    HRESULT hr = site->QueryInterface(IidOf<IPluginSite>(), reinterpret_cast<void**>(&m_pSite1));
    if (FAILED(hr) && hr != E_NOINTERFACE) {
        LogHostFailure(*this, "QueryInterface(PluginSite1)", hr);
        return hr;
    }
    hr = site->RegisterSinks(static_cast<IPlugin2*>(this));
    if (FAILED(hr)) {
        LogHostFailure(*this, "RegisterSinks", hr);
        return hr;
    }
    if (!m_pSite1) {
        Log(ERR, "No PluginSite1!");
        return E_FAIL;
    }
    if (FAILED(hr = site->get_Hooks(&m_pHooks))) {
        LogHostFailure(*this, "get_Hooks", hr);
        return hr;
    }
    if (FAILED(hr = TakeNamedObject(m_pSite1, host::kWorldFilterName, m_pWorld))) {
        LogHostFailure(*this, host::kWorldFilterName, hr);
        return hr;
    }
    if (FAILED(hr = TakeNamedObject(m_pSite1, host::kCharacterStatsName, m_pCharStats))) {
        LogHostFailure(*this, host::kCharacterStatsName, hr);
        return hr;
    }
    CComPtr<IEcho2> echo;
    if (FAILED(hr = TakeNamedObject(m_pSite1, host::kEchoFilterName, echo))) {
        LogHostFailure(*this, host::kEchoFilterName, hr);
        return hr;
    }
    m_pEcho = echo.get();
    if (FAILED(hr = m_pSite1->LoadView(CComBSTR(kViewDescription), &m_pView))) {
        LogHostFailure(*this, "LoadView", hr);
        return hr;
    }
    if (!m_pHooks || !m_pWorld || !m_pCharStats || !m_pEcho || !m_pView) {
        Log(ERR, "Missing required filters");
        return E_FAIL;
    }
    if (FAILED(hr = SetupControls()))
        return hr;
    if (FAILED(hr = SetupEvents())) {
        TeardownControls();
        return hr;
    }
    m_Initialized = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTarnik::Terminate() {
    Log(INF, "raw_Terminate");
    m_Initialized = false;
    TeardownEvents();
    TeardownControls();
    Log(TRC, "Teardown complete");
    m_pEcho.Release();
    m_pCharStats.Release();
    m_pWorld.Release();
    m_pHooks.Release();
    m_pView.Release();
    m_pSite1.Release();
    m_pSite.Release();
    Log(TRC, "Terminate complete");
    return S_OK;
}

HRESULT CTarnik::SetupEvents() {
    Log(INF, "SetupEvents");
    m_Sinks.clear();  // the sinks of an earlier run, already disconnected by Terminate

    HRESULT failure = S_OK;
    auto advise = [&](IUnknown* source, const IID& events, CDispEventSink::Handler handler) {
        if (FAILED(failure))
            return;
        auto sink = MakeComObject<CDispEventSink>(events, std::move(handler));
        HRESULT hr = sink->DispEventAdvise(source);
        if (FAILED(hr)) {
            LogHostFailure(*this, "DispEventAdvise", hr);
            failure = hr;
            return;
        }
        m_Sinks.push_back(std::move(sink));
    };

    auto button = [&](IPushButton* control) {
        advise(control, host::DIID_ICommandEvents, [this](DISPID id, DISPPARAMS& args) {
            if (id == host::DISPID_BUTTON_ACCEPTED)
                onButton(EventArgLong(args, 0));
        });
    };
    auto choice = [&](IChoice* control) {
        advise(control, host::DIID_IChoiceEvents, [this](DISPID id, DISPPARAMS& args) {
            if (id == host::DISPID_CHOICE_CHANGE)
                onChoice(EventArgLong(args, 0), EventArgLong(args, 1));
        });
    };

    Log(TRC, "ButtonEvents");
    control::ForEachButtonInSinkOrder(*this, button);

    Log(TRC, "EchoEvents");
    advise(m_pEcho, host::DIID_IEchoEvents2, [this](DISPID id, DISPPARAMS& args) {
        if (id == host::DISPID_ECHO_MESSAGE) {
            auto message = ComQuery<IMessage2>(EventArgUnknown(args, 0));
            if (message)
                OnServerMessage(message);
        }
    });

    Log(TRC, "WorldEvents");
    advise(m_pWorld, host::DIID_IWorldEvents, [this](DISPID id, DISPPARAMS& args) {
        auto object = ComQuery<IWorldObject>(EventArgUnknown(args, 0));
        if (!object)
            return;
        if (id == host::DISPID_WORLD_CREATED)
            OnObjectCreated(object);
        else if (id == host::DISPID_WORLD_RELEASED)
            OnObjectReleased(object);
    });

    Log(TRC, "ViewEvents");
    advise(m_pView, host::DIID_IViewEvents, [this](DISPID id, DISPPARAMS&) {
        if (id == host::DISPID_VIEW_ACTIVATE)
            OnActivate();
    });

    Log(TRC, "ChoiceEvents");
    control::ForEachChoiceInSinkOrder(*this, choice);

    // Two sinks on the one hooks source: each takes only its own event.
    Log(TRC, "HookEvents");
    advise(m_pHooks, host::DIID_IACHooksEvents, [this](DISPID id, DISPPARAMS& args) {
        if (id == host::DISPID_HOOKS_CHAT_TEXT)
            raw_ChatText(EventArgBstr(args, 0), EventArgBoolRef(args, 1));
    });
    advise(m_pHooks, host::DIID_IACHooksEvents, [this](DISPID id, DISPPARAMS& args) {
        if (id == host::DISPID_HOOKS_SELECTED)
            OnSelectedChanged(EventArgLong(args, 0));
    });

    Log(TRC, "CSEvents");
    advise(m_pCharStats, host::DIID_ICharacterStatsEvents, [this](DISPID id, DISPPARAMS& args) {
        if (id == host::DISPID_CHARACTER_KNOWN)
            OnCharacterKnown(EventArgLong(args, 0));
        else if (id == host::DISPID_CHARACTER_LOGIN)
            OnLoginComplete();
    });

    if (FAILED(failure)) {
        TeardownEvents();
        m_Sinks.clear();
        return failure;
    }
    Log(TRC, "SetupComplete");
    return S_OK;
}

void CTarnik::TeardownEvents() {
    Log(INF, "TeardownEvents");
    // Kept after unadvising, marked not connected; a host refusal leaves nothing to undo.
    for (auto& sink : m_Sinks) {
        HRESULT hr = sink->DispEventUnadvise();
        if (FAILED(hr))
            LogHostFailure(*this, "DispEventUnadvise", hr);
    }
}

bool CTarnik::PointersValid() {
    Log(INF, "PointersValid");
    if (!m_pWorld) {
        WriteToChat("World Filter not found. Request aborted.");
        return false;
    }
    if (!m_pCharStats) {
        WriteToChat("CharacterStats Filter not found. Request aborted.");
        return false;
    }
    if (!m_pEcho) {
        WriteToChat("EchoFilter2 not found, Request aborted.");
        return false;
    }
    if (!m_pHooks) {
        // Without hooks there is no chat to write to.
        Log(ERR, "Hooks not found, Request aborted.");
        return false;
    }
    return true;
}

void CTarnik::OnCharacterKnown(LONG id) {
    if (m_Me != 0)
        return;
    m_Me = static_cast<ObjectId>(id);
    Log(TRC, "Set m_Me to %x", m_Me);
}

void CTarnik::OnLoginComplete() {
    OnCharacterLogin();
    if (!m_pbRecord)
        return;
    HRESULT hr = m_pbRecord->put_TextColor(control::kRecordReadyColor);
    if (FAILED(hr))
        LogHostFailure(*this, "pbRecord put_TextColor", hr);
}
