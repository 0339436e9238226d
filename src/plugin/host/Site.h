// The site the host hands to Initialize, and the older site interface ("PluginSite1")
// it answers to QueryInterface, source of the named filters and of the view.
#pragma once

#include "plugin/host/Hooks.h"
#include "plugin/host/View.h"

struct IPluginSite : IUnknown {  // "PluginSite1"
    static constexpr IID iid = MakeGuid("0bcceae4-e10c-424e-8e50-79203d1fcb82");
    // A named object ("DecalFilters.World", ...); S_FALSE and null when the host has none.
    virtual HRESULT STDMETHODCALLTYPE get_Object(BSTR name, IUnknown** object) = 0;
    // Builds a view from an XML view description; a failure code and null when the
    // description cannot be parsed.
    virtual HRESULT STDMETHODCALLTYPE LoadView(BSTR description, IView** view) = 0;

  protected:
    ~IPluginSite() = default;
};

struct IPluginSite2 : IUnknown {
    static constexpr IID iid = MakeGuid("7068d9f6-d7e8-4d91-9fa5-b0be75037a7c");
    virtual HRESULT STDMETHODCALLTYPE get_Hooks(IACHooks** hooks) = 0;
    // Registers the plug-in: when it answers IWindowsMessageSink, the game window's
    // key messages reach it from then on.
    virtual HRESULT STDMETHODCALLTYPE RegisterSinks(IUnknown* plugin) = 0;

  protected:
    ~IPluginSite2() = default;
};
