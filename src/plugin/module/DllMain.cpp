// The module's entry points and its application object, CTarnikPlgApp.
#include "config/ConfigPath.h"
#include "platform/Module.h"
#include "plugin/ModuleState.h"
#include "plugin/Server.h"

// Windows exports what Tarnik.def lists; elsewhere the version script keeps these four.
#if defined(_WIN32)
#define TARNIK_EXPORT extern "C"
#else
#define TARNIK_EXPORT extern "C" __attribute__((visibility("default")))
#endif

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

TARNIK_EXPORT HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return TarnikCanUnloadNow();
}

TARNIK_EXPORT HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    return TarnikGetClassObject(clsid, riid, ppv);
}

TARNIK_EXPORT HRESULT STDAPICALLTYPE DllRegisterServer() {
    return TarnikRegisterServer(ModuleInstance());
}

TARNIK_EXPORT HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return TarnikUnregisterServer(ModuleInstance());
}
