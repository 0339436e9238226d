// Reference counting and QueryInterface for objects that implement a list of interfaces.
#pragma once

#include <atomic>
#include <cassert>
#include <tuple>
#include <type_traits>

#include "platform/Unknown.h"

// Implements IUnknown for a class deriving from each of Ifaces. QueryInterface answers
// IUnknown (through the first interface), each of Ifaces, and every base an interface
// names as its `using Base = ...` (for example IDispatch behind a dual interface).
// Objects start with a count of 0; the creator takes the first reference.
template <class... Ifaces>
class ComObject : public Ifaces... {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown) {
            *ppv = static_cast<IUnknown*>(static_cast<First*>(this));
        } else {
            (TryInterface<Ifaces>(riid, ppv) || ...);
        }
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }
    ULONG RefCount() const { return refs_; }

  protected:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() { assert(refs_ == 0 && "COM object destroyed while still referenced"); }

  private:
    using First = std::tuple_element_t<0, std::tuple<Ifaces...>>;

    template <class I>
    bool TryInterface(REFIID riid, void** ppv) {
        if (riid == IidOf<I>()) {
            *ppv = static_cast<I*>(this);
            return true;
        }
        if constexpr (requires { typename I::Base; }) {
            if (riid == IidOf<typename I::Base>()) {
                *ppv = static_cast<typename I::Base*>(static_cast<I*>(this));
                return true;
            }
        }
        return false;
    }

    std::atomic<ULONG> refs_{0};
};

// Creates a ComObject-derived object holding one reference.
template <class T, class... Args>
CComPtr<T> MakeComObject(Args&&... args) {
    return CComPtr<T>(new T(std::forward<Args>(args)...));
}
