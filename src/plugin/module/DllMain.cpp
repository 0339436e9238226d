// The module's entry points and its application object, CTarnikPlgApp.
#include "config/ConfigPath.h"
#include "platform/Module.h"
#include "plugin/ModuleState.h"
#include "plugin/Server.h"

#define TARNIK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Set up when the loader maps the module, before any entry point can be called.
class CTarnikPlgApp {
  public:
    CTarnikPlgApp() {
        HMODULE module = ModuleHandleFromAddress(reinterpret_cast<const void*>(&Anchor));
        SetModuleInstance(module);
        InitConfigPath(module);
    }
    ~CTarnikPlgApp() { SetModuleInstance(nullptr); }

  private:
    static void Anchor() {}
};

CTarnikPlgApp theApp;

}  // namespace

TARNIK_EXPORT HRESULT DllCanUnloadNow() {
    return TarnikCanUnloadNow();
}

TARNIK_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    return TarnikGetClassObject(clsid, riid, ppv);
}

TARNIK_EXPORT HRESULT DllRegisterServer() {
    return TarnikRegisterServer(ModuleInstance());
}

TARNIK_EXPORT HRESULT DllUnregisterServer() {
    return TarnikUnregisterServer(ModuleInstance());
}
