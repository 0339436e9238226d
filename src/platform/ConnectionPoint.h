// Connection points: how an event source holds its sinks, and how a sink connects to it.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "platform/ComObject.h"
#include "platform/Dispatch.h"

#if defined(_WIN32)
template <>
inline const IID& IidOf<IConnectionPoint>() {
    return IID_IConnectionPoint;
}
template <>
inline const IID& IidOf<IConnectionPointContainer>() {
    return IID_IConnectionPointContainer;
}
#else
struct IConnectionPointContainer;
struct IEnumConnections;
struct IEnumConnectionPoints;

struct IConnectionPoint : IUnknown {
    static constexpr IID iid = MakeGuid("b196b286-bab4-101a-b69c-00aa00341d07");
    virtual HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
    // Holds a reference to the sink (queried for the event interface or IDispatch) and
    // yields a cookie that is never 0.
    virtual HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) = 0;

  protected:
    ~IConnectionPoint() = default;
};

struct IConnectionPointContainer : IUnknown {
    static constexpr IID iid = MakeGuid("b196b284-bab4-101a-b69c-00aa00341d07");
    virtual HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid,
                                                          IConnectionPoint** point) = 0;

  protected:
    ~IConnectionPointContainer() = default;
};
#endif

// Connects `sink` to the source's connection point for `riid`.
HRESULT AtlAdvise(IUnknown* source, IUnknown* sink, REFIID riid, DWORD* cookie);
HRESULT AtlUnadvise(IUnknown* source, REFIID riid, DWORD cookie);

// The source side: one connection point for one event interface. Fire calls
// IDispatch::Invoke on every sink advised when the call began; a sink unadvised during
// dispatch (by itself or another) is not called after that, and a sink may safely
// unadvise itself or destroy the source's other sinks from inside its handler.
class CConnectionPoint final : public ComObject<IConnectionPoint> {
  public:
    explicit CConnectionPoint(const IID& eventIid) : eventIid_(eventIid) {}

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    // Neither the container nor an enumeration is offered: sinks advise through the
    // container they already hold, and nothing here enumerates connections.
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override {
        if (c)
            *c = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** e) override {
        if (e)
            *e = nullptr;
        return E_NOTIMPL;
    }

    // args in natural (first-to-last) order; Fire owns them and clears them afterwards.
    void Fire(DISPID dispid, std::vector<VARIANT> args = {});
    std::size_t SinkCount() const { return sinks_.size(); }
    const IID& EventIid() const { return eventIid_; }

  private:
    IID eventIid_;
    DWORD nextCookie_ = 1;
    std::map<DWORD, CComPtr<IDispatch>> sinks_;
};

// The sink side: a dispatch object for one event interface, calling a handler with the
// dispid and arguments of every event. It remembers its cookie while connected.
class CDispEventSink final : public ComObject<IDispatch> {
  public:
    using Handler = std::function<void(DISPID, DISPPARAMS&)>;
    CDispEventSink(const IID& eventIid, Handler handler)
        : eventIid_(eventIid), handler_(std::move(handler)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                     UINT* argErr) override;

    HRESULT DispEventAdvise(IUnknown* source);
    HRESULT DispEventUnadvise();
    bool IsConnected() const { return source_ != nullptr; }
    const IID& EventIid() const { return eventIid_; }

  private:
    IID eventIid_;
    Handler handler_;
    CComPtr<IUnknown> source_;
    DWORD cookie_ = 0;
};

// Reading event arguments by natural position (0 is the first argument). A missing or
// mistyped argument yields 0, the empty text or null.
LONG EventArgLong(const DISPPARAMS& params, UINT index);
double EventArgDouble(const DISPPARAMS& params, UINT index);
BSTR EventArgBstr(const DISPPARAMS& params, UINT index);
VARIANT_BOOL* EventArgBoolRef(const DISPPARAMS& params, UINT index);
IUnknown* EventArgUnknown(const DISPPARAMS& params, UINT index);
