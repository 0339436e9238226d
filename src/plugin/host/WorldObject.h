// One object of the game world as the World filter knows it.
#pragma once

#include "platform/Bstr.h"
#include "platform/Unknown.h"

struct IWorldObject : IUnknown {
    static constexpr IID iid = MakeGuid("878624da-46b5-47f9-9b42-59dbc33a78e9");
    virtual HRESULT STDMETHODCALLTYPE get_Id(LONG* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Type(LONG* typeCode) = 0;
    // The integer property `key`, or `defaultValue` when the object lacks it.
    virtual HRESULT STDMETHODCALLTYPE Values(LONG key, LONG defaultValue, LONG* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE RealValues(LONG key, double defaultValue, double* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HasIdData(VARIANT_BOOL* has) = 0;

  protected:
    ~IWorldObject() = default;
};
