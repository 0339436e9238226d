// A static text: its text.
#pragma once

#include "plugin/host/Control.h"

struct IStaticText : IControl {
    static constexpr IID iid = MakeGuid("994d5654-b4ae-4021-a3e5-5044d68078a4");
    using Base = IControl;
    virtual HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Text(BSTR text) = 0;

  protected:
    ~IStaticText() = default;
};
