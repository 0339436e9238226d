// A choice (drop-down list): options by index, the selected index (-1 for none); raises
// Change (dispid 6) with its control id and the new index when the player picks one.
#pragma once

#include "plugin/host/Control.h"

struct IChoice : IControl {
    static constexpr IID iid = MakeGuid("da99e2bb-9753-4cff-b732-73a60fcd53c8");
    using Base = IControl;
    virtual HRESULT STDMETHODCALLTYPE get_ChoiceCount(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddChoice(BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveChoice(LONG index) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Text(LONG index, BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Text(LONG index, BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Selected(LONG* index) = 0;
    // An index outside the options selects nothing (-1).
    virtual HRESULT STDMETHODCALLTYPE put_Selected(LONG index) = 0;

  protected:
    ~IChoice() = default;
};
