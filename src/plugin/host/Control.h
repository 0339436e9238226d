// The base of every control of a view. Controls that raise events also answer
// IConnectionPointContainer for their event interface.
#pragma once

#include "platform/Bstr.h"
#include "platform/Unknown.h"

struct IControl : IUnknown {
    static constexpr IID iid = MakeGuid("635150c7-0006-47c1-9ccc-a452c50ab167");
    virtual HRESULT STDMETHODCALLTYPE get_ID(LONG* id) = 0;

  protected:
    ~IControl() = default;
};
