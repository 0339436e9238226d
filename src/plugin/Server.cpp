// Class object, aggregation wrapper, unload check and registration of CTarnik.
#include "plugin/Server.h"

#include <memory>
#include <new>
#include <string>

#include "platform/ComObject.h"
#include "platform/Module.h"
#include "platform/TypeInfo.h"
#include "plugin/ModuleState.h"
#include "plugin/Registrar.h"
#include "plugin/Resources.h"
#include "plugin/Tarnik.h"
#include "plugin/TypeLib.h"

namespace {

// The non-delegating IUnknown of an aggregated CTarnik: it alone counts references and
// owns the inner object, whose interfaces all forward IUnknown to the outer object.
class CTarnikAggregate final : public ComObject<IUnknown> {
  public:
    explicit CTarnikAggregate(IUnknown* outer) : m_Inner(std::make_unique<CTarnik>(outer)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown)
            return ComObject::QueryInterface(riid, ppv);
        return m_Inner->InternalQueryInterface(riid, ppv);
    }

  private:
    std::unique_ptr<CTarnik> m_Inner;
};

// A host may hold the class object and call it later, so it keeps the module loaded too.
class CTarnikClassFactory final : public ComObject<IClassFactory> {
  public:
    CTarnikClassFactory() { ModuleObjectCreated(); }
    ~CTarnikClassFactory() override { ModuleObjectDestroyed(); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        return CreateTarnikInstance(outer, riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ModuleLock();
        else
            ModuleUnlock();
        return S_OK;
    }
};

std::string ModulePath(HMODULE module) {
    char path[4096];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path - 1)
        return {};
    return std::string(path, length);
}

// The system registers the library built into the module where it keeps type libraries;
// elsewhere the library's description is registered.
HRESULT RegisterTarnikTypeLib(const std::string& path) {
    HRESULT hr = RegisterModuleTypeLibrary(path);
    return hr == S_FALSE ? RegisterTypeLibrary(TarnikTypeLib(), path) : hr;
}

HRESULT UnregisterTarnikTypeLib() {
    HRESULT hr = UnregisterModuleTypeLibrary(LIBID_TARNIKPLGLib, kTypeLibMajor, kTypeLibMinor);
    return hr == S_FALSE ? UnregisterTypeLibrary(TarnikTypeLib()) : hr;
}

}  // namespace

HRESULT CreateTarnikInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer && riid != IID_IUnknown)
        return CLASS_E_NOAGGREGATION;
    try {
        if (outer)
            return MakeComObject<CTarnikAggregate>(outer)->QueryInterface(riid, ppv);
        return CreateTarnik()->QueryInterface(riid, ppv);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT TarnikGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (clsid != CLSID_Tarnik)
        return CLASS_E_CLASSNOTAVAILABLE;
    try {
        return MakeComObject<CTarnikClassFactory>()->QueryInterface(riid, ppv);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT TarnikCanUnloadNow() {
    return ModuleCanUnloadNow();
}

HRESULT TarnikRegisterServer(HMODULE module) {
    const std::string path = ModulePath(module);
    auto script = FindTextResource("REGISTRY", IDR_TARNIK);
    if (path.empty() || !script)
        return SELFREG_E_CLASS;
    HRESULT hr = RunRegistrationScript(*script, RegistrationReplacements(path), true);
    if (FAILED(hr))
        return hr;
    hr = RegisterTarnikTypeLib(path);
    if (FAILED(hr)) {
        // Half a registration would point hosts at a class whose library is missing.
        (void)RunRegistrationScript(*script, RegistrationReplacements(path), false);
        (void)UnregisterTarnikTypeLib();
    }
    return hr;
}

HRESULT TarnikUnregisterServer(HMODULE module) {
    const std::string path = ModulePath(module);
    auto script = FindTextResource("REGISTRY", IDR_TARNIK);
    if (!script)
        return SELFREG_E_CLASS;
    HRESULT hr = RunRegistrationScript(*script, RegistrationReplacements(path), false);
    HRESULT typeLib = UnregisterTarnikTypeLib();
    return FAILED(hr) ? hr : typeLib;
}
