// The built plug-in module as a host sees it: loaded with dlopen, its four entry points
// found by name, registration through them, and nothing else exported.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ClassFactory.h"
#include "plugin/Identity.h"
#include "support/TempRegistry.h"

namespace {

const std::string kClsid = "{70dde3ae-5add-4003-9600-c2f6830d7670}";
const std::string kHostKey = "SOFTWARE\\Decal\\Plugins\\" + kClsid;

class ModuleLoadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        handle = dlopen(TARNIK_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        getClassObject = Find<DllGetClassObjectFn>("DllGetClassObject");
        canUnloadNow = Find<DllCanUnloadNowFn>("DllCanUnloadNow");
        registerServer = Find<DllRegisterServerFn>("DllRegisterServer");
        unregisterServer = Find<DllUnregisterServerFn>("DllUnregisterServer");
    }
    void TearDown() override {
        if (handle)
            dlclose(handle);
    }

    template <class Fn>
    Fn Find(const char* name) {
        return reinterpret_cast<Fn>(dlsym(handle, name));
    }

    TempRegistry registry;  // set before the module loads: it reads the registry at load
    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
    DllRegisterServerFn registerServer = nullptr;
    DllUnregisterServerFn unregisterServer = nullptr;
};

TEST_F(ModuleLoadTest, ExportsTheFourEntryPointsAndHidesTheRest) {
    EXPECT_NE(getClassObject, nullptr);
    EXPECT_NE(canUnloadNow, nullptr);
    EXPECT_NE(registerServer, nullptr);
    EXPECT_NE(unregisterServer, nullptr);
    for (const char* internal : {"_Z12CreateTarnikv", "_ZN7CTarnik4LiveEv",
                                 "_Z19ModuleCanUnloadNowv", "_Z16ModuleInstancev"})
        EXPECT_EQ(dlsym(handle, internal), nullptr) << internal;
}

TEST_F(ModuleLoadTest, RegisterServerAnnouncesThePluginToTheHostAndUnregisterRemovesIt) {
    ASSERT_TRUE(registerServer && unregisterServer);
    ASSERT_EQ(registerServer(), S_OK);

    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kHostKey), "Tarnik!");
    EXPECT_EQ(RegDword(HKEY_LOCAL_MACHINE, kHostKey, "Enabled"), 1u);
    EXPECT_EQ(RegString(HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik\\CurVer"), "DECAL_KMW.Tarnik.1");
    auto server = RegString(HKEY_CLASSES_ROOT, "CLSID\\" + kClsid + "\\InprocServer32");
    ASSERT_TRUE(server);
    EXPECT_EQ(std::filesystem::canonical(*server), std::filesystem::canonical(TARNIK_MODULE_PATH));
    EXPECT_EQ(
        RegString(HKEY_CLASSES_ROOT, "CLSID\\" + kClsid + "\\InprocServer32", "ThreadingModel"),
        "Apartment");

    // The file itself says so, for a person reading it.
    const std::string text = registry.FileText();
    EXPECT_NE(text.find("HKEY_LOCAL_MACHINE\\SOFTWARE\\Decal\\Plugins\\" + kClsid + "]"),
              std::string::npos);
    EXPECT_NE(text.find("\"Enabled\"=dword:00000001"), std::string::npos);

    ASSERT_EQ(unregisterServer(), S_OK);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kHostKey));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "DECAL_KMW.Tarnik"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + kClsid));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Decal\\Plugins"));
}

TEST_F(ModuleLoadTest, TheModulesClassObjectCreatesThePluginAndHoldsTheModule) {
    ASSERT_TRUE(getClassObject && canUnloadNow);
    EXPECT_EQ(canUnloadNow(), S_OK);
    void* out = nullptr;
    EXPECT_EQ(
        getClassObject(MakeGuid("00000000-0000-0000-0000-000000000001"), IClassFactory::iid, &out),
        CLASS_E_CLASSNOTAVAILABLE);

    // Computing the configuration path reads (and creates) the key naming its folder.
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Software\\Vellumcraft"));

    CComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(CLSID_Tarnik, IClassFactory::iid, reinterpret_cast<void**>(&factory)),
              S_OK);
    CComPtr<IDispatch> dispatch;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&dispatch)),
              S_OK);
    factory.Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE);

    std::u16string name = u"IsBusy";
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    DISPPARAMS none;
    VARIANT result;
    ASSERT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                               &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_FALSE);

    dispatch.Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

}  // namespace
