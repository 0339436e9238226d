// The class object: plain and aggregated creation, COM identity rules, refused
// aggregation, and the object and lock counts that decide DllCanUnloadNow.
#include <gtest/gtest.h>

#include "platform/ComObject.h"
#include "plugin/ModuleState.h"
#include "plugin/Server.h"
#include "plugin/Tarnik.h"

namespace {

struct IOuterOnly : IUnknown {
    static constexpr IID iid = MakeGuid("0badf00d-0000-4000-8000-000000000001");
    virtual int Answer() = 0;

  protected:
    ~IOuterOnly() = default;
};

// An outer object in the usual shape: it answers IUnknown and its own interface, hands
// the plug-in's interfaces to the inner object, and owns the inner IUnknown.
class Outer final : public ComObject<IOuterOnly> {
  public:
    ~Outer() override {
        if (inner)
            inner->Release();
    }
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IOuterOnly::iid)
            return ComObject::QueryInterface(riid, ppv);
        if (!inner) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return inner->QueryInterface(riid, ppv);
    }
    int Answer() override { return 42; }

    IUnknown* inner = nullptr;
};

template <class I>
CComPtr<I> Query(IUnknown* from) {
    return ComQuery<I>(from);
}

IUnknown* Identity(IUnknown* from) {
    CComPtr<IUnknown> unknown = Query<IUnknown>(from);
    return unknown.get();
}

class ClassFactoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(ModuleObjectCount(), 0) << "a previous test leaked an object";
        ASSERT_EQ(TarnikGetClassObject(CLSID_Tarnik, IClassFactory::iid,
                                       reinterpret_cast<void**>(&factory)),
                  S_OK);
    }

    CComPtr<IClassFactory> factory;
};

TEST_F(ClassFactoryTest, OnlyTheTarnikClassIsServed) {
    const CLSID other = MakeGuid("70dde3ae-5add-4003-9600-c2f6830d7671");
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(TarnikGetClassObject(other, IClassFactory::iid, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(TarnikGetClassObject(CLSID_Tarnik, IClassFactory::iid, nullptr), E_POINTER);
}

TEST_F(ClassFactoryTest, PlainObjectAnswersItsInterfacesWithOneIdentity) {
    CComPtr<ITarnik> tarnik;
    ASSERT_EQ(factory->CreateInstance(nullptr, ITarnik::iid, reinterpret_cast<void**>(&tarnik)),
              S_OK);
    CComPtr<IPlugin2> plugin = Query<IPlugin2>(tarnik);
    CComPtr<IWindowsMessageSink> sink = Query<IWindowsMessageSink>(tarnik);
    CComPtr<IDispatch> dispatch = Query<IDispatch>(tarnik);
    ASSERT_TRUE(plugin && sink && dispatch);

    IUnknown* identity = Identity(tarnik);
    EXPECT_EQ(Identity(plugin), identity);
    EXPECT_EQ(Identity(sink), identity);
    EXPECT_EQ(Identity(dispatch), identity);
    // Symmetric and transitive: every interface reaches every other, and back.
    EXPECT_EQ(Query<ITarnik>(plugin).get(), tarnik.get());
    EXPECT_EQ(Query<ITarnik>(Query<IWindowsMessageSink>(plugin)).get(), tarnik.get());
    EXPECT_EQ(Query<IPlugin2>(sink).get(), plugin.get());

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(tarnik->QueryInterface(IOuterOnly::iid, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
}

TEST_F(ClassFactoryTest, PlainObjectIsLiveUntilItsLastRelease) {
    CComPtr<IUnknown> unknown;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
              S_OK);
    ASSERT_NE(CTarnik::Live(), nullptr);
    EXPECT_EQ(Identity(static_cast<ITarnik*>(CTarnik::Live())), unknown.get());
    unknown.Release();
    EXPECT_EQ(CTarnik::Live(), nullptr);
}

TEST_F(ClassFactoryTest, AggregatedObjectDelegatesItsIdentityAndCountToTheOuter) {
    CComPtr<Outer> outer = MakeComObject<Outer>();
    ASSERT_EQ(
        factory->CreateInstance(outer.get(), IID_IUnknown, reinterpret_cast<void**>(&outer->inner)),
        S_OK);
    ASSERT_NE(outer->inner, nullptr);
    IUnknown* outerIdentity = Identity(outer.get());
    EXPECT_NE(outer->inner, outerIdentity);

    ULONG before = outer->RefCount();
    CComPtr<ITarnik> tarnik = Query<ITarnik>(outerIdentity);
    ASSERT_TRUE(tarnik);
    EXPECT_EQ(outer->RefCount(), before + 1) << "the inner interface must count on the outer";
    EXPECT_EQ(Identity(tarnik), outerIdentity);
    EXPECT_EQ(Identity(Query<IPlugin2>(tarnik)), outerIdentity);

    // The outer's own interfaces are reachable from the inner ones.
    CComPtr<IOuterOnly> own = Query<IOuterOnly>(tarnik);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->Answer(), 42);

    // The inner IUnknown keeps its own identity and hands out the inner interfaces.
    CComPtr<IPlugin2> viaInner = Query<IPlugin2>(outer->inner);
    EXPECT_EQ(Identity(viaInner), outerIdentity);
    EXPECT_EQ(Query<IUnknown>(outer->inner).get(), outer->inner);

    EXPECT_NE(CTarnik::Live(), nullptr);
    own.Release();
    viaInner.Release();
    tarnik.Release();
    outer.Release();
    EXPECT_EQ(CTarnik::Live(), nullptr);
}

TEST_F(ClassFactoryTest, AggregationAskingForAnythingButIUnknownIsRefused) {
    CComPtr<Outer> outer = MakeComObject<Outer>();
    for (const IID& iid : {ITarnik::iid, IDispatch::iid, IPlugin2::iid}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(factory->CreateInstance(outer.get(), iid, &out), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(CTarnik::Live(), nullptr);
    EXPECT_EQ(ModuleObjectCount(), 1) << "only the class factory should be alive";
}

TEST_F(ClassFactoryTest, AnUnknownInterfaceCreatesNothingThatLingers) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IOuterOnly::iid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(CTarnik::Live(), nullptr);
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
