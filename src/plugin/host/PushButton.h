// A push button: text, text colour; raises Accepted (dispid 4) with its control id.
#pragma once

#include "plugin/host/Control.h"

struct IPushButton : IControl {
    static constexpr IID iid = MakeGuid("3c16ef0b-ef23-40fc-8d97-f801a12d1339");
    using Base = IControl;
    virtual HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Text(BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TextColor(LONG* color) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_TextColor(LONG color) = 0;

  protected:
    ~IPushButton() = default;
};
