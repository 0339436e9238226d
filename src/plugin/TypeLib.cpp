// The description of TARNIKPLGLib and ITarnik, name and argument checks for IDispatch, and
// the type library's registry entries.
#include "plugin/TypeLib.h"

#include <cstdio>

#include "platform/Ascii.h"
#include "platform/Registry.h"
#include "plugin/Identity.h"

namespace {

constexpr HRESULT kDispUnknownInterface = MakeHresult(0x80020001u);
constexpr HRESULT kDispParamNotFound = MakeHresult(0x80020004u);
constexpr HRESULT kTypeRegistryAccess = MakeHresult(0x8002801Cu);

// The automation marshaler: a dual interface needs no proxy of its own.
constexpr const char* kOleAutomationProxy = "{00020424-0000-0000-c000-000000000046}";

constexpr TypeLibParam kDoCommandParams[] = {{"Command", VT_BSTR}};

constexpr TypeLibFunc kTarnikFuncs[] = {
    {DISPID_DoCommand, "DoCommand", DISPATCH_METHOD, kDoCommandParams, VT_EMPTY,
     "method DoCommand"},
    {DISPID_IsBusy, "IsBusy", DISPATCH_PROPERTYGET, {}, VT_BOOL, "property IsBusy"},
};

constexpr TypeLibInterface kTarnikInterface = {"ITarnik", ITarnik::iid, "ITarnik Interface",
                                               kTarnikFuncs};

constexpr TypeLibDescription kTarnikLib = {"TARNIKPLGLib", LIBID_TARNIKPLGLib, kTypeLibMajor,
                                           kTypeLibMinor,  kTypeLibHelp,       "Tarnik",
                                           CLSID_Tarnik,   kClassHelp,         kTarnikInterface};

bool SameNameIgnoringCase(const OLECHAR* wide, const char* ascii) {
    return wide && EqualsIgnoringCase(OleStringView(wide), std::string_view(ascii));
}

std::string LibVersion(const TypeLibDescription& lib) {
    char text[16];
    std::snprintf(text, sizeof text, "%x.%x", lib.major, lib.minor);
    return text;
}

std::string LibKey(const TypeLibDescription& lib) {
    return "TypeLib\\" + GuidToString(lib.libid);
}

std::string InterfaceKey(const TypeLibDescription& lib) {
    return "Interface\\" + GuidToString(lib.primary.iid);
}

bool SetString(HKEY root, const std::string& path, const char* valueName, const std::string& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LSTATUS status =
        RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool HasSubKeys(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char name[256];
    DWORD size = sizeof name;
    bool any = RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) !=
               ERROR_NO_MORE_ITEMS;
    RegCloseKey(key);
    return any;
}

}  // namespace

const TypeLibDescription& TarnikTypeLib() {
    return kTarnikLib;
}

const TypeLibFunc* FindTypeLibFunc(const TypeLibInterface& iface, DISPID id) {
    for (const TypeLibFunc& func : iface.funcs) {
        if (func.id == id)
            return &func;
    }
    return nullptr;
}

HRESULT TypeLibGetIDsOfNames(const TypeLibInterface& iface, REFIID riid, LPOLESTR* names,
                             UINT count, DISPID* ids) {
    if (riid != IID_NULL)
        return kDispUnknownInterface;
    if (!names || !ids)
        return E_POINTER;
    if (count == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    const TypeLibFunc* found = nullptr;
    for (const TypeLibFunc& func : iface.funcs) {
        if (SameNameIgnoringCase(names[0], func.name)) {
            found = &func;
            break;
        }
    }
    if (!found)
        return DISP_E_UNKNOWNNAME;
    ids[0] = found->id;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        for (std::size_t p = 0; p < found->params.size(); ++p) {
            if (SameNameIgnoringCase(names[i], found->params[p].name))
                ids[i] = static_cast<DISPID>(p);
        }
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT TypeLibCheckInvoke(const TypeLibInterface& iface, REFIID riid, DISPID id, WORD flags,
                           const DISPPARAMS* params, UINT* argErr, const TypeLibFunc** func,
                           std::vector<const VARIANT*>* args) {
    if (riid != IID_NULL)
        return kDispUnknownInterface;
    const TypeLibFunc* found = FindTypeLibFunc(iface, id);
    if (!found || !(flags & found->invokeKind))
        return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none;
    if (!params)
        params = &none;
    if (params->cNamedArgs > params->cArgs || (params->cNamedArgs && !params->rgdispidNamedArgs) ||
        (params->cArgs && !params->rgvarg))
        return E_INVALIDARG;
    const std::size_t wanted = found->params.size();
    if (params->cArgs != wanted)
        return DISP_E_BADPARAMCOUNT;

    std::vector<const VARIANT*> placed(wanted, nullptr);
    const UINT positional = params->cArgs - params->cNamedArgs;
    for (UINT i = 0; i < positional; ++i)
        placed[i] = &params->rgvarg[params->cArgs - 1 - i];
    for (UINT n = 0; n < params->cNamedArgs; ++n) {
        DISPID slot = params->rgdispidNamedArgs[n];
        if (slot < 0 || static_cast<std::size_t>(slot) >= wanted || placed[slot])
            return kDispParamNotFound;
        placed[slot] = &params->rgvarg[n];
    }
    for (std::size_t p = 0; p < wanted; ++p) {
        if (placed[p]->vt != found->params[p].type) {
            if (argErr)
                *argErr = static_cast<UINT>(placed[p] - params->rgvarg);
            return DISP_E_TYPEMISMATCH;
        }
    }
    *func = found;
    if (args)
        *args = std::move(placed);
    return S_OK;
}

HRESULT RegisterTypeLibrary(const TypeLibDescription& lib, const std::string& modulePath) {
    const std::string versionKey = LibKey(lib) + "\\" + LibVersion(lib);
    std::string helpDir = modulePath;
    std::size_t slash = helpDir.find_last_of("\\/");
    helpDir = slash == std::string::npos ? std::string() : helpDir.substr(0, slash);

    const std::string iface = InterfaceKey(lib);
    const std::string libid = GuidToString(lib.libid);
    bool ok =
        SetString(HKEY_CLASSES_ROOT, versionKey, nullptr, lib.help) &&
        SetString(HKEY_CLASSES_ROOT, versionKey + "\\0\\win32", nullptr, modulePath) &&
        SetString(HKEY_CLASSES_ROOT, versionKey + "\\FLAGS", nullptr, "0") &&
        SetString(HKEY_CLASSES_ROOT, versionKey + "\\HELPDIR", nullptr, helpDir) &&
        SetString(HKEY_CLASSES_ROOT, iface, nullptr, lib.primary.name) &&
        SetString(HKEY_CLASSES_ROOT, iface + "\\ProxyStubClsid", nullptr, kOleAutomationProxy) &&
        SetString(HKEY_CLASSES_ROOT, iface + "\\ProxyStubClsid32", nullptr, kOleAutomationProxy) &&
        SetString(HKEY_CLASSES_ROOT, iface + "\\TypeLib", nullptr, libid) &&
        SetString(HKEY_CLASSES_ROOT, iface + "\\TypeLib", "Version", LibVersion(lib));
    return ok ? S_OK : kTypeRegistryAccess;
}

HRESULT UnregisterTypeLibrary(const TypeLibDescription& lib) {
    const std::string libKey = LibKey(lib);
    LSTATUS a = RegDeleteTreeA(HKEY_CLASSES_ROOT, (libKey + "\\" + LibVersion(lib)).c_str());
    // Other versions of the library may still be registered under the library id.
    if (!HasSubKeys(HKEY_CLASSES_ROOT, libKey))
        RegDeleteKeyA(HKEY_CLASSES_ROOT, libKey.c_str());
    LSTATUS b = RegDeleteTreeA(HKEY_CLASSES_ROOT, InterfaceKey(lib).c_str());
    auto fine = [](LSTATUS s) { return s == ERROR_SUCCESS || s == ERROR_FILE_NOT_FOUND; };
    return fine(a) && fine(b) ? S_OK : kTypeRegistryAccess;
}
