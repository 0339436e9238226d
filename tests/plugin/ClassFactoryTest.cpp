// The class object: plain and aggregated creation, COM identity rules, refused
// creations, and the object and lock counts that decide DllCanUnloadNow.
#include <gtest/gtest.h>

#include <utility>

#include "platform/ComObject.h"
#include "plugin/ModuleState.h"
#include "plugin/Server.h"
#include "plugin/Tarnik.h"

namespace {

struct IOuterOnly : IUnknown {
    static constexpr IID iid = MakeGuid("0badf00d-0000-4000-8000-000000000001");
};

// An outer object in the usual shape: it answers IUnknown and its own interface, hands
// the plug-in's interfaces to the inner object, and owns the inner IUnknown.
class Outer final : public ComObject<IOuterOnly> {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IOuterOnly::iid || !inner)
            return ComObject::QueryInterface(riid, ppv);
        return inner->QueryInterface(riid, ppv);
    }

    CComPtr<IUnknown> inner;
};

IUnknown* Identity(IUnknown* from) {
    return ComQuery<IUnknown>(from).get();
}

class ClassFactoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(TarnikGetClassObject(CLSID_Tarnik, IClassFactory::iid,
                                       reinterpret_cast<void**>(&factory)),
                  S_OK);
    }

    CComPtr<IClassFactory> factory;
};

TEST_F(ClassFactoryTest, PlainObjectAnswersItsInterfacesWithOneIdentityUntilItsLastRelease) {
    const LONG objects = ModuleObjectCount();
    CComPtr<IUnknown> unknown;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
              S_OK);
    CComPtr<ITarnik> tarnik = ComQuery<ITarnik>(unknown.get());
    EXPECT_EQ(Identity(tarnik), unknown.get());
    // Symmetric and transitive: each interface reaches ITarnik and the one IUnknown.
    for (const IID& iid : {IPlugin2::iid, IWindowsMessageSink::iid, IDispatch::iid}) {
        CComPtr<IUnknown> face;
        ASSERT_EQ(tarnik->QueryInterface(iid, reinterpret_cast<void**>(&face)), S_OK);
        EXPECT_EQ(Identity(face), unknown.get());
        EXPECT_EQ(ComQuery<ITarnik>(face.get()).get(), tarnik.get());
    }
    unknown.Release();
    EXPECT_EQ(ModuleObjectCount(), objects + 1);
    tarnik.Release();
    EXPECT_EQ(ModuleObjectCount(), objects);
}

TEST_F(ClassFactoryTest, AggregatedObjectDelegatesItsIdentityAndCountToTheOuter) {
    const LONG objects = ModuleObjectCount();
    CComPtr<Outer> outer = MakeComObject<Outer>();
    ASSERT_EQ(
        factory->CreateInstance(outer.get(), IID_IUnknown, reinterpret_cast<void**>(&outer->inner)),
        S_OK);
    IUnknown* outerIdentity = Identity(outer.get());
    EXPECT_NE(outer->inner, outerIdentity);

    ULONG before = outer->RefCount();
    CComPtr<ITarnik> tarnik = ComQuery<ITarnik>(outerIdentity);
    EXPECT_EQ(outer->RefCount(), before + 1) << "the inner interface must count on the outer";
    EXPECT_EQ(Identity(tarnik), outerIdentity);
    EXPECT_EQ(ComQuery<IOuterOnly>(tarnik.get()).get(), static_cast<IOuterOnly*>(outer.get()));
    // The inner IUnknown keeps its own identity and hands out the inner interfaces.
    EXPECT_EQ(Identity(outer->inner), outer->inner.get());
    EXPECT_EQ(Identity(ComQuery<IPlugin2>(outer->inner.get())), outerIdentity);

    tarnik.Release();
    EXPECT_EQ(ModuleObjectCount(), objects + 1);
    outer.Release();
    EXPECT_EQ(ModuleObjectCount(), objects);
}

TEST_F(ClassFactoryTest, RefusedCreationsLeaveNothingBehind) {
    CComPtr<Outer> outer = MakeComObject<Outer>();
    void* out = reinterpret_cast<void*>(1);
    for (const IID& iid : {ITarnik::iid, IDispatch::iid, IPlugin2::iid}) {
        EXPECT_EQ(factory->CreateInstance(outer.get(), iid, &out), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(std::exchange(out, reinterpret_cast<void*>(1)), nullptr);
    }
    EXPECT_EQ(factory->CreateInstance(nullptr, IOuterOnly::iid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(ModuleObjectCount(), 1) << "only the class factory should be alive";
}

TEST_F(ClassFactoryTest, ModuleCanUnloadOnlyWithoutObjectsAndLocks) {
    EXPECT_EQ(TarnikCanUnloadNow(), S_FALSE) << "a held class object keeps the module";
    factory->LockServer(TRUE);
    factory.Release();
    EXPECT_EQ(TarnikCanUnloadNow(), S_FALSE) << "a lock keeps the module";

    CComPtr<CTarnik> plain = CreateTarnik();
    ASSERT_EQ(
        TarnikGetClassObject(CLSID_Tarnik, IClassFactory::iid, reinterpret_cast<void**>(&factory)),
        S_OK);
    factory->LockServer(FALSE);
    factory.Release();
    EXPECT_EQ(TarnikCanUnloadNow(), S_FALSE) << "a live object keeps the module";
    plain.Release();
    EXPECT_EQ(TarnikCanUnloadNow(), S_OK);

    // An unbalanced unlock must not let a later lock go unnoticed.
    ModuleUnlock();
    ModuleLock();
    EXPECT_EQ(TarnikCanUnloadNow(), S_FALSE);
    ModuleUnlock();
    EXPECT_EQ(TarnikCanUnloadNow(), S_OK);
}

}  // namespace
