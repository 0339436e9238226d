// ITarnik through IDispatch: names to DISPIDs, calls by name, argument checks, and the
// type-library description the dispatch serves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/Tarnik.h"
#include "plugin/TypeLib.h"
#include "tests/plugin/FakeHost.h"

namespace {

class DispatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tarnik->m_pHooks = hooks.get();
        dispatch = ComQuery<IDispatch>(static_cast<ITarnik*>(tarnik.get()));
        ASSERT_TRUE(dispatch);
    }

    // GetIDsOfNames for one name or a member and its parameters.
    HRESULT Ids(std::vector<std::u16string> names, std::vector<DISPID>* ids) {
        std::vector<LPOLESTR> pointers;
        for (std::u16string& name : names)
            pointers.push_back(name.data());
        ids->assign(names.size(), 12345);
        return dispatch->GetIDsOfNames(IID_NULL, pointers.data(),
                                       static_cast<UINT>(pointers.size()), LOCALE_USER_DEFAULT,
                                       ids->data());
    }

    DISPID IdOf(const std::u16string& name) {
        std::vector<DISPID> ids;
        EXPECT_EQ(Ids({name}, &ids), S_OK);
        return ids[0];
    }

    HRESULT Call(DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result = nullptr,
                 UINT* argErr = nullptr) {
        DISPPARAMS params;
        params.rgvarg = args.empty() ? nullptr : args.data();
        params.cArgs = static_cast<UINT>(args.size());
        HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                      nullptr, argErr);
        for (VARIANT& arg : args)
            VariantClear(&arg);
        return hr;
    }

    CComPtr<FakeHooks> hooks = MakeComObject<FakeHooks>();
    CComPtr<CTarnik> tarnik = CreateTarnik();
    CComPtr<IDispatch> dispatch;
};

TEST_F(DispatchTest, NamesResolveToTheirDispidsInAnyLetterCase) {
    EXPECT_EQ(IdOf(u"DoCommand"), DISPID_DoCommand);
    EXPECT_EQ(IdOf(u"docommand"), DISPID_DoCommand);
    EXPECT_EQ(IdOf(u"IsBusy"), DISPID_IsBusy);
    EXPECT_EQ(IdOf(u"ISBUSY"), DISPID_IsBusy);
}

TEST_F(DispatchTest, UnknownNamesAreReportedAsUnknown) {
    std::vector<DISPID> ids;
    EXPECT_EQ(Ids({u"Sort"}, &ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_UNKNOWN);
    EXPECT_EQ(Ids({u"IsBusyX"}, &ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Ids({u"DoCommand", u"command"}, &ids), S_OK);
    EXPECT_EQ(ids, (std::vector<DISPID>{DISPID_DoCommand, 0}));
    EXPECT_EQ(Ids({u"DoCommand", u"Text"}, &ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids, (std::vector<DISPID>{DISPID_DoCommand, DISPID_UNKNOWN}));
}

TEST_F(DispatchTest, IsBusyByNameReportsTheJobInChatAndAsAnAutomationBoolean) {
    VARIANT result;
    ASSERT_EQ(Call(IdOf(u"IsBusy"), DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_FALSE);

    tarnik->m_Job = JOB_SORT;
    ASSERT_EQ(Call(IdOf(u"IsBusy"), DISPATCH_PROPERTYGET, {}, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, -1);
    EXPECT_EQ(hooks->Texts(),
              (std::vector<std::string>{":tk:Current job is: 0", ":tk:Current job is: 3"}));
}

TEST_F(DispatchTest, DoCommandByNameSaysGotCommandAndChangesNothing) {
    tarnik->m_Job = JOB_CRAM;
    VARIANT result;
    ASSERT_EQ(Call(IdOf(u"DoCommand"), DISPATCH_METHOD, {MakeVariantBstr("sort value")}, &result),
              S_OK);
    EXPECT_EQ(result.vt, VT_EMPTY);
    EXPECT_EQ(hooks->Texts(), std::vector<std::string>{":tk:Got Command"});
    EXPECT_EQ(tarnik->m_Job, JOB_CRAM);
    EXPECT_EQ(tarnik->m_OutputWindow, 1);
}

TEST_F(DispatchTest, ScriptingStyleFlagsAndNamedArgumentsAreAccepted) {
    ASSERT_EQ(
        Call(DISPID_DoCommand, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {MakeVariantBstr("x")}),
        S_OK);
    VARIANT arg = MakeVariantBstr("y");
    DISPID named = 0;
    DISPPARAMS params{&arg, &named, 1, 1};
    EXPECT_EQ(dispatch->Invoke(DISPID_DoCommand, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                               nullptr, nullptr),
              S_OK);
    VariantClear(&arg);
    EXPECT_EQ(hooks->chat.size(), 2u);
}

TEST_F(DispatchTest, WrongCallsAreRefusedWithoutRunningTheMember) {
    UINT argErr = 99;
    EXPECT_EQ(Call(DISPID_DoCommand, DISPATCH_METHOD, {}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(DISPID_DoCommand, DISPATCH_METHOD, {MakeVariantBstr("a"), MakeVariantBstr("b")}),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(DISPID_DoCommand, DISPATCH_METHOD, {MakeVariantI4(7)}, nullptr, &argErr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(Call(DISPID_DoCommand, DISPATCH_PROPERTYPUT, {MakeVariantBstr("a")}),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(DISPID_IsBusy, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(DISPID_IsBusy, DISPATCH_PROPERTYPUT, {MakeVariantBool(true)}),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(DISPID_IsBusy, DISPATCH_PROPERTYGET, {MakeVariantI4(1)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(99, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
    EXPECT_TRUE(hooks->chat.empty());
}

TEST_F(DispatchTest, TheTypeLibraryCarriesTheHelpStringsHostsShow) {
    const TypeLibDescription& lib = TarnikTypeLib();
    EXPECT_STREQ(lib.help, "Tarnik 1.0 Type Library");
    EXPECT_STREQ(lib.classHelp, "Tarnik Class");
    EXPECT_STREQ(lib.primary.help, "ITarnik Interface");
    EXPECT_STREQ(FindTypeLibFunc(lib.primary, DISPID_DoCommand)->help, "method DoCommand");
    EXPECT_STREQ(FindTypeLibFunc(lib.primary, DISPID_IsBusy)->help, "property IsBusy");
    EXPECT_EQ(FindTypeLibFunc(lib.primary, 3), nullptr);
}

}  // namespace
