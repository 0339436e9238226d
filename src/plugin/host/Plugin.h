// What a plug-in offers its host: the lifecycle (IPlugin2) and the window-message sink.
#pragma once

#include "platform/Unknown.h"
#include "plugin/host/Site.h"

struct IPlugin2 : IUnknown {
    static constexpr IID iid = MakeGuid("5d6c7a3e-1b2f-4c8d-9e0a-3f4b5c6d7e8f");
    virtual HRESULT STDMETHODCALLTYPE Initialize(IPluginSite2* site) = 0;
    virtual HRESULT STDMETHODCALLTYPE Terminate() = 0;

  protected:
    ~IPlugin2() = default;
};

// Called on the host thread for the game window's key-down and system-key-down
// messages. Setting *eat to VARIANT_TRUE keeps the message from the game.
struct IWindowsMessageSink : IUnknown {
    static constexpr IID iid = MakeGuid("9a1b2c3d-4e5f-4a6b-8c7d-0e1f2a3b4c5d");
    virtual HRESULT STDMETHODCALLTYPE WindowMessage(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam, VARIANT_BOOL* eat) = 0;
    virtual HRESULT STDMETHODCALLTYPE WindowMessageEnd(HWND window, UINT message, WPARAM wParam,
                                                       LPARAM lParam, VARIANT_BOOL* eat) = 0;

  protected:
    ~IWindowsMessageSink() = default;
};
