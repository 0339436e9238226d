// The EchoFilter2 filter ("DecalFilters.EchoFilter2"), which raises one event (dispid 1)
// per game server message, and the message it passes.
#pragma once

#include "platform/Bstr.h"
#include "platform/Unknown.h"

struct IMessage2 : IUnknown {
    static constexpr IID iid = MakeGuid("2c6a392b-f03b-4a98-a765-e10d297a1ee7");
    virtual HRESULT STDMETHODCALLTYPE get_Type(LONG* type) = 0;
    // The integer field of that name; E_INVALIDARG and 0 when the message has none.
    virtual HRESULT STDMETHODCALLTYPE get_Value(BSTR field, LONG* value) = 0;

  protected:
    ~IMessage2() = default;
};

struct IEcho2 : IUnknown {
    static constexpr IID iid = MakeGuid("e6e5916d-0497-4235-af08-219486462dd6");

  protected:
    ~IEcho2() = default;
};
