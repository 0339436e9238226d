// A checkbox: its ticked state, reported as VARIANT_TRUE (-1) when ticked.
#pragma once

#include "plugin/host/Control.h"

struct ICheckbox : IControl {
    static constexpr IID iid = MakeGuid("bd418d46-11bb-4c9e-ae60-82bad304f855");
    using Base = IControl;
    virtual HRESULT STDMETHODCALLTYPE get_Checked(VARIANT_BOOL* checked) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Checked(VARIANT_BOOL checked) = 0;

  protected:
    ~ICheckbox() = default;
};
