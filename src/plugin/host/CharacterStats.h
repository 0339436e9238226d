// The CharacterStats filter ("DecalFilters.CharacterStats"). Raises character known
// (dispid 1, the id) and login complete (dispid 4) through IConnectionPointContainer.
#pragma once

#include "platform/Bstr.h"
#include "platform/Unknown.h"

struct ICharacterStats : IUnknown {
    static constexpr IID iid = MakeGuid("55fb99f6-7a56-40a2-819b-bc38351bb27b");
    virtual HRESULT STDMETHODCALLTYPE get_Character(LONG* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Server(BSTR* server) = 0;

  protected:
    ~ICharacterStats() = default;
};
