// The World filter ("DecalFilters.World"): world objects and views of them. Raises
// object created (dispid 1) and released (dispid 2) through IConnectionPointContainer.
#pragma once

#include "plugin/host/WorldView.h"

struct IWorld : IUnknown {
    static constexpr IID iid = MakeGuid("266d2b32-9f05-4e83-bb71-00aa135861ab");
    // S_FALSE and null when no object has that id.
    virtual HRESULT STDMETHODCALLTYPE get_Object(LONG id, IWorldObject** object) = 0;
    // Everything the character carries: the character, its side packs, the items of
    // the main pack and of every side pack, and worn items.
    virtual HRESULT STDMETHODCALLTYPE get_Inventory(IWorldIterator** view) = 0;
    // The objects whose container is `container` (for the character: main pack and worn).
    virtual HRESULT STDMETHODCALLTYPE get_ByContainer(LONG container, IWorldIterator** view) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ByType(LONG typeCode, IWorldIterator** view) = 0;
    virtual HRESULT STDMETHODCALLTYPE Distance2D(LONG first, LONG second, double* distance) = 0;

  protected:
    ~IWorld() = default;
};
