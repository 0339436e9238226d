// The plug-in's view: built by the host from the plug-in's view description; finds its
// controls by name and raises Activate (dispid 8) through IConnectionPointContainer.
#pragma once

#include "plugin/host/Control.h"

struct IView : IUnknown {
    static constexpr IID iid = MakeGuid("f7b890a4-ce16-4e36-b8e9-d66703a6162c");
    // E_INVALIDARG and a null control when no control has that name.
    virtual HRESULT STDMETHODCALLTYPE get_Control(BSTR name, IControl** control) = 0;

  protected:
    ~IView() = default;
};
