// Connection points and dispatch event sinks.
#include "platform/ConnectionPoint.h"

HRESULT AtlAdvise(IUnknown* source, IUnknown* sink, REFIID riid, DWORD* cookie) {
    if (!source || !sink || !cookie)
        return E_POINTER;
    auto container = ComQuery<IConnectionPointContainer>(source);
    if (!container)
        return CONNECT_E_CANNOTCONNECT;
    CComPtr<IConnectionPoint> point;
    HRESULT hr = container->FindConnectionPoint(riid, &point);
    if (FAILED(hr))
        return hr;
    return point->Advise(sink, cookie);
}

HRESULT AtlUnadvise(IUnknown* source, REFIID riid, DWORD cookie) {
    if (!source)
        return E_POINTER;
    auto container = ComQuery<IConnectionPointContainer>(source);
    if (!container)
        return CONNECT_E_NOCONNECTION;
    CComPtr<IConnectionPoint> point;
    HRESULT hr = container->FindConnectionPoint(riid, &point);
    if (FAILED(hr))
        return hr;
    return point->Unadvise(cookie);
}

HRESULT STDMETHODCALLTYPE CConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid)
        return E_POINTER;
    *iid = eventIid_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    CComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(eventIid_, reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = nextCookie_++;
    sinks_.emplace(*cookie, std::move(dispatch));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CConnectionPoint::Unadvise(DWORD cookie) {
    auto it = sinks_.find(cookie);
    if (it == sinks_.end())
        return CONNECT_E_NOCONNECTION;
    // Release outside the map: the sink's destructor may reach back into this point.
    CComPtr<IDispatch> released = std::move(it->second);
    sinks_.erase(it);
    return S_OK;
}

void CConnectionPoint::Fire(DISPID dispid, std::vector<VARIANT> args) {
    CComPtr<CConnectionPoint> keepAlive(this);
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params;
    params.rgvarg = reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    std::vector<DWORD> cookies;
    for (const auto& entry : sinks_)
        cookies.push_back(entry.first);
    for (DWORD cookie : cookies) {
        auto it = sinks_.find(cookie);
        if (it == sinks_.end())
            continue;  // unadvised by an earlier handler
        CComPtr<IDispatch> sink = it->second;
        sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                     nullptr, nullptr);
    }
    for (VARIANT& v : reversed)
        VariantClear(&v);
}

HRESULT STDMETHODCALLTYPE CDispEventSink::QueryInterface(REFIID riid, void** ppv) {
    if (ppv && riid == eventIid_) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return ComObject<IDispatch>::QueryInterface(riid, ppv);
}

HRESULT STDMETHODCALLTYPE CDispEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                                 VARIANT*, EXCEPINFO*, UINT*) {
    DISPPARAMS none;
    CComPtr<CDispEventSink> keepAlive(this);
    if (handler_)
        handler_(id, params ? *params : none);
    return S_OK;
}

HRESULT CDispEventSink::DispEventAdvise(IUnknown* source) {
    if (source_)
        return S_FALSE;  // already connected
    DWORD cookie = 0;
    HRESULT hr = AtlAdvise(source, static_cast<IDispatch*>(this), eventIid_, &cookie);
    if (FAILED(hr))
        return hr;
    source_ = source;
    cookie_ = cookie;
    return S_OK;
}

HRESULT CDispEventSink::DispEventUnadvise() {
    if (!source_)
        return S_FALSE;
    // The source may hold the last reference to this sink and drop it while unadvising.
    CComPtr<CDispEventSink> keepAlive(this);
    CComPtr<IUnknown> source = std::move(source_);
    return AtlUnadvise(source, eventIid_, std::exchange(cookie_, 0));
}

namespace {
const VARIANT* Arg(const DISPPARAMS& params, UINT index) {
    if (!params.rgvarg || index >= params.cArgs)
        return nullptr;
    return &params.rgvarg[params.cArgs - 1 - index];
}
}  // namespace

LONG EventArgLong(const DISPPARAMS& params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v)
        return 0;
    if (v->vt == VT_I4)
        return v->lVal;
    if (v->vt == (VT_I4 | VT_BYREF) && v->plVal)
        return *v->plVal;
    if (v->vt == VT_BOOL)
        return v->boolVal;
    return 0;
}

double EventArgDouble(const DISPPARAMS& params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v)
        return 0.0;
    if (v->vt == VT_R8)
        return v->dblVal;
    if (v->vt == VT_I4)
        return v->lVal;
    return 0.0;
}

BSTR EventArgBstr(const DISPPARAMS& params, UINT index) {
    const VARIANT* v = Arg(params, index);
    return v && v->vt == VT_BSTR ? v->bstrVal : nullptr;
}

VARIANT_BOOL* EventArgBoolRef(const DISPPARAMS& params, UINT index) {
    const VARIANT* v = Arg(params, index);
    return v && v->vt == (VT_BOOL | VT_BYREF) ? v->pboolVal : nullptr;
}

IUnknown* EventArgUnknown(const DISPPARAMS& params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v)
        return nullptr;
    if (v->vt == VT_UNKNOWN)
        return v->punkVal;
    if (v->vt == VT_DISPATCH)
        return v->pdispVal;
    return nullptr;
}
