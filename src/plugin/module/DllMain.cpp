// The module's entry points and its application object, CTarnikPlgApp.
#include <mutex>

#include "config/ConfigPath.h"
#include "platform/Module.h"
#include "plugin/ModuleState.h"
#include "plugin/Server.h"

#define TARNIK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

class CTarnikPlgApp {
  public:
    // Runs when the loader maps the module.
    CTarnikPlgApp() : m_Module(ModuleHandleFromAddress(reinterpret_cast<const void*>(&Anchor))) {
        SetModuleInstance(m_Module);
    }
    ~CTarnikPlgApp() { SetModuleInstance(nullptr); }

    // The loader runs the static initialisers of the module's other files after this
    // one's, and the configuration path is one of them; so the path is computed once on
    // the first entry-point call, which comes before any object exists.
    void Start() {
        std::call_once(m_Started, [this] { InitConfigPath(m_Module); });
    }

  private:
    static void Anchor() {}

    HMODULE m_Module;
    std::once_flag m_Started;
};

CTarnikPlgApp theApp;

}  // namespace

TARNIK_EXPORT HRESULT DllCanUnloadNow() {
    return TarnikCanUnloadNow();
}

TARNIK_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    theApp.Start();
    return TarnikGetClassObject(clsid, riid, ppv);
}

TARNIK_EXPORT HRESULT DllRegisterServer() {
    theApp.Start();
    return TarnikRegisterServer(ModuleInstance());
}

TARNIK_EXPORT HRESULT DllUnregisterServer() {
    theApp.Start();
    return TarnikUnregisterServer(ModuleInstance());
}
