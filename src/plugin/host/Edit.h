// An edit box: its text.
#pragma once

#include "plugin/host/Control.h"

struct IEdit : IControl {
    static constexpr IID iid = MakeGuid("b4ae75e3-1827-4d09-a05a-68e6f5736a6a");
    using Base = IControl;
    virtual HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Text(BSTR text) = 0;

  protected:
    ~IEdit() = default;
};
