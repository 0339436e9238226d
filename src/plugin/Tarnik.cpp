// CTarnik's construction, COM identity (IUnknown, IDispatch) and the ITarnik methods.
#include "plugin/Tarnik.h"

#include <vector>

#include "config/XmlDocument.h"
#include "plugin/ModuleState.h"
#include "plugin/TypeLib.h"

CTarnik::CTarnik(IUnknown* outer) : m_pOuter(outer) {
    // make_unique throws when no document can be made, so the host gets no object.
    m_ConfigDoc = std::make_unique<CXmlDocument>();
    ModuleObjectCreated();
}

CTarnik::~CTarnik() {
    // A host that releases the object without Terminate must not be left calling sinks
    // whose handlers point at it.
    for (auto& sink : m_Sinks)
        sink->DispEventUnadvise();
    // A step or deadline still pending must not call into a destroyed object, nor keep
    // the module's code in use after the host may unload it.
    KillOwnTimers();
    ModuleObjectDestroyed();
}

CComPtr<CTarnik> CreateTarnik() {
    return MakeComObject<CTarnik>();
}

HRESULT CTarnik::InternalQueryInterface(REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == ITarnik::iid || riid == IID_IDispatch)
        *ppv = static_cast<ITarnik*>(this);
    else if (riid == IPlugin2::iid)
        *ppv = static_cast<IPlugin2*>(this);
    else if (riid == IWindowsMessageSink::iid)
        *ppv = static_cast<IWindowsMessageSink*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTarnik::QueryInterface(REFIID riid, void** ppv) {
    if (m_pOuter)
        return m_pOuter->QueryInterface(riid, ppv);
    return InternalQueryInterface(riid, ppv);
}

ULONG STDMETHODCALLTYPE CTarnik::AddRef() {
    if (m_pOuter)
        return m_pOuter->AddRef();
    return ComObject::AddRef();
}

ULONG STDMETHODCALLTYPE CTarnik::Release() {
    if (m_pOuter)
        return m_pOuter->Release();
    return ComObject::Release();
}

CComPtr<ITypeInfo> CTarnik::TypeInfo() {
    if (!m_TypeInfoLooked) {
        m_TypeInfoLooked = true;
        m_TypeInfo =
            LoadRegisteredTypeInfo(LIBID_TARNIKPLGLib, kTypeLibMajor, kTypeLibMinor, ITarnik::iid);
    }
    return m_TypeInfo;
}

HRESULT STDMETHODCALLTYPE CTarnik::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = TypeInfo() ? 1 : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTarnik::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info)
        return E_POINTER;
    *info = nullptr;
    CComPtr<ITypeInfo> typeInfo = TypeInfo();
    if (!typeInfo)
        return E_NOTIMPL;
    if (index != 0)
        return DISP_E_BADINDEX;
    *info = typeInfo.Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTarnik::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                                 DISPID* ids) {
    if (CComPtr<ITypeInfo> info = TypeInfo(); info && riid == IID_NULL)
        return TypeInfoGetIDsOfNames(info, names, count, ids);
    return TypeLibGetIDsOfNames(TarnikTypeLib().primary, riid, names, count, ids);
}

HRESULT STDMETHODCALLTYPE CTarnik::Invoke(DISPID id, REFIID riid, LCID, WORD flags,
                                          DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                          UINT* argErr) {
    if (CComPtr<ITypeInfo> info = TypeInfo(); info && riid == IID_NULL)
        return TypeInfoInvoke(info, static_cast<ITarnik*>(this), id, flags, params, result,
                              excepInfo, argErr);
    const TypeLibFunc* func = nullptr;
    std::vector<const VARIANT*> args;
    HRESULT hr =
        TypeLibCheckInvoke(TarnikTypeLib().primary, riid, id, flags, params, argErr, &func, &args);
    if (FAILED(hr))
        return hr;
    if (result)
        VariantInit(result);
    switch (func->id) {
        case DISPID_DoCommand:
            return DoCommand(args[0]->bstrVal);
        case DISPID_IsBusy: {
            VARIANT_BOOL busy = VARIANT_FALSE;
            hr = get_IsBusy(&busy);
            if (SUCCEEDED(hr) && result) {
                result->vt = VT_BOOL;
                result->boolVal = busy;
            }
            return hr;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT STDMETHODCALLTYPE CTarnik::DoCommand(BSTR) {
    WriteToChat("Got Command");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTarnik::get_IsBusy(VARIANT_BOOL* busy) {
    if (!busy)
        return E_POINTER;
    WriteToChat("Current job is: %d", static_cast<int>(m_Job));
    *busy = m_Job != JOB_NONE ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}
