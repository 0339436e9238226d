// Plug-in modules loaded with dlopen and asked through their exported entry points.
#include <dlfcn.h>

#include "platform/ClassFactory.h"
#include "simhost/PluginModule.h"

namespace sim {

namespace {

class SharedObjectModule final : public PluginModule {
  public:
    explicit SharedObjectModule(void* handle) : handle_(handle) {}
    ~SharedObjectModule() override {
        if (handle_)
            Unload();
    }

    HRESULT CreateObject(const CLSID& clsid, REFIID iid, void** object) override {
        *object = nullptr;
        auto getClassObject =
            reinterpret_cast<DllGetClassObjectFn>(dlsym(handle_, "DllGetClassObject"));
        CComPtr<IClassFactory> factory;
        HRESULT hr =
            getClassObject(clsid, IidOf<IClassFactory>(), reinterpret_cast<void**>(&factory));
        if (SUCCEEDED(hr) && !factory)
            hr = E_POINTER;
        if (SUCCEEDED(hr))
            hr = factory->CreateInstance(nullptr, iid, object);
        return hr;
    }

    bool Unload() override {
        auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle_, "DllCanUnloadNow"));
        if (!canUnload || canUnload() != S_OK)
            return false;
        dlclose(handle_);
        handle_ = nullptr;
        return true;
    }

  private:
    void* handle_;
};

}  // namespace

PluginModules::PluginModules() = default;
PluginModules::~PluginModules() = default;

std::unique_ptr<PluginModule> PluginModules::Load(const CLSID&, const std::string& path,
                                                  std::string& why) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        why = "cannot load " + path + ": " + dlerror();
        return nullptr;
    }
    if (!dlsym(handle, "DllGetClassObject") || !dlsym(handle, "DllCanUnloadNow")) {
        dlclose(handle);
        why = path + " lacks DllGetClassObject or DllCanUnloadNow";
        return nullptr;
    }
    return std::make_unique<SharedObjectModule>(handle);
}

}  // namespace sim
