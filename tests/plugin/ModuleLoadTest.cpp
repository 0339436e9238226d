// The built plug-in module as a host sees it: loaded with dlopen, nothing exported but its
// four entry points, and registration through them on a registry file of its own.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "support/TempRegistry.h"

namespace {

const std::string kClsid = "{70dde3ae-5add-4003-9600-c2f6830d7670}";
const std::string kLibid = "{70dd2ee7-a09c-4ed6-b0f9-bce4e1332fa8}";
const std::string kClassKey = "CLSID\\" + kClsid;
const std::string kHostKey = "SOFTWARE\\Decal\\Plugins\\" + kClsid;
const std::string kLibKey = "TypeLib\\" + kLibid + "\\1.0";
const std::string kInterfaceKey = "Interface\\{70ddca5e-c1fc-492d-a37c-d628727e4367}";
const HKEY CR = HKEY_CLASSES_ROOT;
const HKEY LM = HKEY_LOCAL_MACHINE;

class ModuleLoadTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(handle, nullptr) << dlerror(); }
    // Calls DllRegisterServer or DllUnregisterServer.
    HRESULT Call(const char* entry) {
        auto found = reinterpret_cast<HRESULT (*)()>(dlsym(handle.get(), entry));
        return found ? found() : E_NOTIMPL;
    }

    TempRegistry registry;  // set before the module loads: it reads the registry at load
    std::unique_ptr<void, int (*)(void*)> handle{dlopen(TARNIK_MODULE_PATH, RTLD_NOW | RTLD_LOCAL),
                                                 &dlclose};
};

TEST_F(ModuleLoadTest, ExportsNothingButTheFourEntryPoints) {
    for (const char* entry :
         {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(dlsym(handle.get(), entry), nullptr) << entry;
    for (const char* internal : {"_Z12CreateTarnikv", "_ZN7CTarnik4LiveEv",
                                 "_Z19ModuleCanUnloadNowv", "_Z16ModuleInstancev"})
        EXPECT_EQ(dlsym(handle.get(), internal), nullptr) << internal;
}

// The round trip of the plug-in's keys. The parents it shares with other software are
// there empty, so that only never-remove keeps them.
TEST_F(ModuleLoadTest, RegistrationWritesEveryKeyOnceAndUnregistrationRestoresTheFile) {
    const std::string module = std::filesystem::canonical(TARNIK_MODULE_PATH).string();
    const std::string folder = std::filesystem::path(module).parent_path().string();
    // Hive, key, value name (null: the default value), value.
    const std::tuple<HKEY, std::string, const char*, std::string> expected[] = {
        {CR, "DECAL_KMW.Tarnik.1", nullptr, "Tarnik Class"},
        {CR, "DECAL_KMW.Tarnik.1\\CLSID", nullptr, kClsid},
        {CR, "DECAL_KMW.Tarnik", nullptr, "Tarnik Class"},
        {CR, "DECAL_KMW.Tarnik\\CLSID", nullptr, kClsid},
        {CR, "DECAL_KMW.Tarnik\\CurVer", nullptr, "DECAL_KMW.Tarnik.1"},
        {CR, kClassKey, nullptr, "Tarnik Class"},
        {CR, kClassKey + "\\ProgID", nullptr, "DECAL_KMW.Tarnik.1"},
        {CR, kClassKey + "\\VersionIndependentProgID", nullptr, "DECAL_KMW.Tarnik"},
        {CR, kClassKey + "\\InprocServer32", nullptr, module},
        {CR, kClassKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {CR, kClassKey + "\\TypeLib", nullptr, kLibid},
        {LM, kHostKey, nullptr, "Tarnik!"},
        {CR, kLibKey, nullptr, "Tarnik 1.0 Type Library"},
        {CR, kLibKey + "\\0\\win32", nullptr, module},
        {CR, kLibKey + "\\FLAGS", nullptr, "0"},
        {CR, kLibKey + "\\HELPDIR", nullptr, folder},
        {CR, kInterfaceKey, nullptr, "ITarnik"},
        {CR, kInterfaceKey + "\\ProxyStubClsid32", nullptr,
         "{00020424-0000-0000-c000-000000000046}"},
        {CR, kInterfaceKey + "\\TypeLib", nullptr, kLibid},
        {CR, kInterfaceKey + "\\TypeLib", "Version", "1.0"},
    };
    for (const char* parent : {"CLSID", "TypeLib", "Interface"})
        RegCreate(CR, parent);
    RegCreate(LM, "SOFTWARE\\Decal\\Plugins");
    const std::string before = registry.FileText();
    EXPECT_EQ(Call("DllUnregisterServer"), S_OK) << "never registered";
    EXPECT_EQ(registry.FileText(), before);

    ASSERT_EQ(Call("DllRegisterServer"), S_OK);
    for (const auto& [hive, key, name, value] : expected)
        EXPECT_EQ(RegString(hive, key, name), value) << key << " " << (name ? name : "@");
    EXPECT_TRUE(RegKeyExists(CR, kClassKey + "\\Programmable"));
    // The file itself says so, for a person reading it.
    const std::string once = registry.FileText();
    EXPECT_NE(once.find("[HKEY_LOCAL_MACHINE\\" + kHostKey + "]"), std::string::npos);
    EXPECT_NE(once.find("\"Enabled\"=dword:00000001"), std::string::npos);

    RegCreate(CR, kClassKey + "\\Stale");
    RegCreate(LM, kHostKey + "\\Stale");
    ASSERT_EQ(Call("DllRegisterServer"), S_OK);
    EXPECT_EQ(registry.FileText(), once) << "registering again clears what an old one left";
    ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
    EXPECT_EQ(registry.FileText(), before);

    ASSERT_EQ(Call("DllRegisterServer"), S_OK);
    RegCreate(CR, "DECAL_KMW.Tarnik\\Shell");
    ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
    EXPECT_TRUE(RegKeyExists(CR, "DECAL_KMW.Tarnik\\Shell")) << "someone else's entry stays";
    EXPECT_FALSE(RegKeyExists(CR, "DECAL_KMW.Tarnik\\CurVer"));
}

}  // namespace
