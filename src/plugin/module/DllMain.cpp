// The module's entry points and its application object, CTarnikPlgApp.
#include "config/ConfigPath.h"
#include "platform/Module.h"
#include "plugin/ModuleState.h"
#include "plugin/Server.h"

#define TARNIK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

class CTarnikPlgApp {
  public:
    // Runs when the loader maps the module: the configuration path is computed once,
    // here, before the host can ask for any object.
    CTarnikPlgApp() : m_Module(ModuleHandleFromAddress(reinterpret_cast<const void*>(&Anchor))) {
        SetModuleInstance(m_Module);
        InitConfigPath(m_Module);
    }
    ~CTarnikPlgApp() { SetModuleInstance(nullptr); }

  private:
    static void Anchor() {}

    HMODULE m_Module;
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
