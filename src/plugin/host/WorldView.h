// A view of world objects, walked by Reset and Next.
#pragma once

#include "plugin/host/WorldObject.h"

struct IWorldIterator : IUnknown {
    static constexpr IID iid = MakeGuid("3b9b2b9d-8f7e-45d4-8e75-4e0b6040a6c2");
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    // Yields the next object with *more = VARIANT_TRUE; at the end *more is VARIANT_FALSE
    // and *object null. An entry may be null with *more true: callers skip it and go on.
    virtual HRESULT STDMETHODCALLTYPE Next(IWorldObject** object, VARIANT_BOOL* more) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;
    // Narrows the view to the objects whose container is `container`, and resets it.
    virtual HRESULT STDMETHODCALLTYPE ByContainer(LONG container) = 0;

  protected:
    ~IWorldIterator() = default;
};
