// IUnknown (the system's own on Windows), the counted smart pointer CComPtr, and the
// interface-id lookup IidOf.
#pragma once

#include <cassert>
#include <utility>

#include "platform/Guid.h"
#include "platform/WinTypes.h"

// The id of interface T. The project's interfaces name theirs as `static constexpr IID
// iid`; the system's interfaces are looked up by specialisations next to their names.
template <class T>
inline const IID& IidOf() {
    return T::iid;
}

#if defined(_WIN32)
template <>
inline const IID& IidOf<IUnknown>() {
    return IID_IUnknown;
}
#else
struct IUnknown {
    static constexpr IID iid = MakeGuid("00000000-0000-0000-c000-000000000046");
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

  protected:
    ~IUnknown() = default;
};

inline constexpr const IID& IID_IUnknown = IUnknown::iid;
#endif

// A counted reference: AddRef on copy, Release on reset and destruction.
template <class T>
class CComPtr {
  public:
    CComPtr() = default;
    CComPtr(std::nullptr_t) {}
    CComPtr(T* p) : p_(p) {
        if (p_)
            p_->AddRef();
    }
    CComPtr(const CComPtr& other) : CComPtr(other.p_) {}
    CComPtr(CComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~CComPtr() { Release(); }

    CComPtr& operator=(const CComPtr& other) {
        CComPtr(other).Swap(*this);
        return *this;
    }
    CComPtr& operator=(CComPtr&& other) noexcept {
        CComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    CComPtr& operator=(T* p) {
        CComPtr(p).Swap(*this);
        return *this;
    }

    T* operator->() const {
        assert(p_ && "dereferencing an empty CComPtr");
        return p_;
    }
    operator T*() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T* get() const { return p_; }

    // For out parameters: the pointer must be empty, as ATL asserts.
    T** operator&() {
        assert(!p_ && "taking the address of a non-empty CComPtr would leak");
        return &p_;
    }

    void Release() {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    void Attach(T* p) {
        Release();
        p_ = p;
    }
    T* Detach() { return std::exchange(p_, nullptr); }
    void Swap(CComPtr& other) noexcept { std::swap(p_, other.p_); }

    template <class U>
    HRESULT QueryInterface(U** out) const {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!p_)
            return E_POINTER;
        return p_->QueryInterface(IidOf<U>(), reinterpret_cast<void**>(out));
    }

  private:
    T* p_ = nullptr;
};

// Queries `from` for interface U; empty when it is empty or lacks U.
template <class U, class T>
CComPtr<U> ComQuery(T* from) {
    CComPtr<U> out;
    if (from)
        from->QueryInterface(IidOf<U>(), reinterpret_cast<void**>(&out));
    return out;
}
