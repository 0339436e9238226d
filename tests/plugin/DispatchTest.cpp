// ITarnik through IDispatch, as a script in the host reaches it: calls by name in any
// letter case, and the checks that refuse a wrong name or call.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/PluginFixture.h"

namespace {

using Lines = std::vector<std::string>;

// Only member names are looked up here; parameter names are left untested.
class DispatchTest : public PluginFixture {
  protected:
    CComPtr<IDispatch> Dispatch() { return ComQuery<IDispatch>(static_cast<ITarnik*>(&Plugin())); }

    std::pair<HRESULT, DISPID> IdOf(std::u16string name) {
        LPOLESTR names[] = {name.data()};
        DISPID id = 12345;
        HRESULT hr = Dispatch()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        return {hr, id};
    }

    HRESULT Call(DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result = nullptr) {
        DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
        HRESULT hr = Dispatch()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                        nullptr, nullptr);
        for (VARIANT& arg : args)
            VariantClear(&arg);
        return hr;
    }
};

TEST_F(DispatchTest, IsBusyAndDoCommandByNameInAnyCaseAnswerAsScriptsExpect) {
    NewChatLines();
    // Wrong names and calls are refused without running the member.
    for (const char16_t* name : {u"Sort", u"IsBusyX"})
        EXPECT_EQ(IdOf(name), (std::pair<HRESULT, DISPID>{DISP_E_UNKNOWNNAME, DISPID_UNKNOWN}));
    EXPECT_EQ(Call(DISPID_DoCommand, DISPATCH_METHOD, {}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(DISPID_DoCommand, DISPATCH_METHOD, {MakeVariantBstr("a"), MakeVariantBstr("b")}),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(DISPID_DoCommand, DISPATCH_METHOD, {MakeVariantI4(7)}), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Call(DISPID_DoCommand, DISPATCH_PROPERTYPUT, {MakeVariantBstr("a")}),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(DISPID_IsBusy, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(DISPID_IsBusy, DISPATCH_PROPERTYGET, {MakeVariantI4(1)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(99, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
    for (VARIANT_BOOL busy : {VARIANT_FALSE, VARIANT_TRUE}) {
        if (busy) {
            ASSERT_TRUE(Chat("@tk title"));  // out of order: the sort waits for its first move
        }
        VARIANT result;
        ASSERT_EQ(Call(IdOf(u"isbusy").second, DISPATCH_PROPERTYGET, {}, &result), S_OK);
        EXPECT_EQ(result.vt, VT_BOOL);
        EXPECT_EQ(result.boolVal, busy);
    }
    // DoCommand only acknowledges; scripting languages may add the property-get flag.
    for (WORD flags : {DISPATCH_METHOD, WORD(DISPATCH_METHOD | DISPATCH_PROPERTYGET)}) {
        VARIANT result;
        ASSERT_EQ(Call(IdOf(u"DOCOMMAND").second, flags, {MakeVariantBstr("sort value")}, &result),
                  S_OK);
        EXPECT_EQ(result.vt, VT_EMPTY);
    }
    EXPECT_EQ(Plugin().m_Job, JOB_SORT);
    EXPECT_EQ(NewChatLines(), (Lines{":tk:Current job is: 0", ":tk:Current job is: 3",
                                     ":tk:Got Command", ":tk:Got Command"}));
}

}  // namespace
