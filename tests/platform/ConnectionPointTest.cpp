// Connection points and dispatch event sinks, above all changes made during dispatch.
#include "platform/ConnectionPoint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr IID kEvents = MakeGuid("11111111-2222-3333-4444-555555555555");
constexpr IID kOtherEvents = MakeGuid("11111111-2222-3333-4444-666666666666");

// An event source with one connection point, as a host object offers it.
class Source final : public ComObject<IConnectionPointContainer> {
  public:
    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
        if (!point)
            return E_POINTER;
        *point = nullptr;
        if (riid != kEvents)
            return CONNECT_E_NOCONNECTION;
        *point = point_.get();
        point_->AddRef();
        return S_OK;
    }
    CConnectionPoint& Point() { return *point_; }

  private:
    CComPtr<CConnectionPoint> point_ = MakeComObject<CConnectionPoint>(kEvents);
};

class Plain final : public ComObject<IUnknown> {};

class ConnectionPointTest : public ::testing::Test {
  protected:
    // A sink that records "name:dispid" and then runs `also`.
    CComPtr<CDispEventSink> Sink(const std::string& name, std::function<void()> also = {}) {
        return MakeComObject<CDispEventSink>(kEvents, [this, name, also](DISPID id, DISPPARAMS&) {
            calls_.push_back(name + ":" + std::to_string(id));
            if (also)
                also();
        });
    }

    CComPtr<Source> source_ = MakeComObject<Source>();
    CConnectionPoint& point_ = source_->Point();
    std::vector<std::string> calls_;
};

using Calls = std::vector<std::string>;

TEST_F(ConnectionPointTest, DeliversEventsToEverySinkUntilUnadvised) {
    auto a = Sink("a");
    auto b = Sink("b");
    DWORD cookieA = 0, cookieB = 0;
    ASSERT_EQ(point_.Advise(static_cast<IDispatch*>(a.get()), &cookieA), S_OK);
    ASSERT_EQ(point_.Advise(static_cast<IDispatch*>(b.get()), &cookieB), S_OK);
    EXPECT_NE(cookieA, 0u);
    EXPECT_NE(cookieA, cookieB);

    point_.Fire(7);
    EXPECT_EQ(calls_, (Calls{"a:7", "b:7"}));
    EXPECT_EQ(point_.Unadvise(cookieA), S_OK);
    EXPECT_EQ(point_.Unadvise(cookieA), CONNECT_E_NOCONNECTION);
    point_.Fire(8);
    EXPECT_EQ(calls_, (Calls{"a:7", "b:7", "b:8"}));
    EXPECT_EQ(point_.SinkCount(), 1u);
}

TEST_F(ConnectionPointTest, PassesArgumentsInNaturalOrderAndTakesResultsBack) {
    VARIANT_BOOL eat = VARIANT_FALSE;
    std::string seen;
    auto sink = MakeComObject<CDispEventSink>(kEvents, [&](DISPID, DISPPARAMS& params) {
        seen = BstrToUtf8(EventArgBstr(params, 0)) + "/" + std::to_string(EventArgLong(params, 1)) +
               "/" + std::to_string(EventArgDouble(params, 2));
        if (VARIANT_BOOL* out = EventArgBoolRef(params, 3))
            *out = VARIANT_TRUE;
        // Missing and mistyped arguments read as nothing.
        EXPECT_EQ(EventArgLong(params, 0), 0);
        EXPECT_EQ(EventArgBstr(params, 1), nullptr);
        EXPECT_EQ(EventArgLong(params, 9), 0);
        EXPECT_EQ(EventArgUnknown(params, 4), nullptr);
        EXPECT_EQ(EventArgBoolRef(params, 0), nullptr);
    });
    ASSERT_EQ(sink->DispEventAdvise(source_.get()), S_OK);
    VARIANT real;
    real.vt = VT_R8;
    real.dblVal = 2.5;
    point_.Fire(
        1, {MakeVariantBstr("K\xC3\xB6nig"), MakeVariantI4(42), real, MakeVariantBoolRef(&eat)});
    EXPECT_EQ(seen, "K\xC3\xB6nig/42/2.500000");
    EXPECT_EQ(eat, VARIANT_TRUE);
    EXPECT_EQ(sink->DispEventUnadvise(), S_OK);
}

TEST_F(ConnectionPointTest, ASinkMayUnadviseItselfDuringDispatch) {
    auto self = MakeComObject<CDispEventSink>(kEvents, nullptr);
    self = MakeComObject<CDispEventSink>(kEvents, [&](DISPID id, DISPPARAMS&) {
        calls_.push_back("self:" + std::to_string(id));
        EXPECT_EQ(self->DispEventUnadvise(), S_OK);
    });
    auto after = Sink("after");
    ASSERT_EQ(self->DispEventAdvise(source_.get()), S_OK);
    ASSERT_EQ(after->DispEventAdvise(source_.get()), S_OK);

    point_.Fire(1);
    point_.Fire(2);
    EXPECT_EQ(calls_, (Calls{"self:1", "after:1", "after:2"}));
    EXPECT_FALSE(self->IsConnected());
    after->DispEventUnadvise();
}

TEST_F(ConnectionPointTest, ASinkUnadvisedByAnEarlierOneIsNotCalled) {
    auto held = Sink("victim");
    CDispEventSink* victim = held.get();
    auto killer = Sink("killer", [&] {
        if (victim)
            std::exchange(victim, nullptr)->DispEventUnadvise();
    });
    ASSERT_EQ(killer->DispEventAdvise(source_.get()), S_OK);  // advised first, called first
    ASSERT_EQ(victim->DispEventAdvise(source_.get()), S_OK);
    held.Release();  // the victim dies when the killer unadvises it

    point_.Fire(1);
    EXPECT_EQ(calls_, Calls{"killer:1"});
    killer->DispEventUnadvise();
}

TEST_F(ConnectionPointTest, ASinkAdvisedDuringDispatchHearsOnlyLaterEvents) {
    auto late = Sink("late");
    auto early = Sink("early", [&] {
        if (!late->IsConnected())
            late->DispEventAdvise(source_.get());
    });
    ASSERT_EQ(early->DispEventAdvise(source_.get()), S_OK);
    point_.Fire(1);
    point_.Fire(2);
    EXPECT_EQ(calls_, (Calls{"early:1", "early:2", "late:2"}));
    early->DispEventUnadvise();
    late->DispEventUnadvise();
}

TEST_F(ConnectionPointTest, TheSourceMayGoAwayDuringDispatch) {
    CComPtr<CConnectionPoint> point = &point_;
    auto sink = MakeComObject<CDispEventSink>(kEvents, nullptr);
    sink = MakeComObject<CDispEventSink>(kEvents, [&](DISPID, DISPPARAMS&) {
        sink->DispEventUnadvise();  // drops the sink's reference to the source
        calls_.push_back("done");
    });
    ASSERT_EQ(sink->DispEventAdvise(source_.get()), S_OK);
    source_.Release();  // the sink now holds the only reference to the source
    point->Fire(1, {MakeVariantBstr("freed after dispatch")});
    EXPECT_EQ(calls_, Calls{"done"});
    EXPECT_EQ(point->SinkCount(), 0u);
}

TEST_F(ConnectionPointTest, UnadvisingASinkOnlyTheSourceHoldsIsSafe) {
    CDispEventSink* raw = nullptr;
    {
        auto sink = Sink("held by the source");
        ASSERT_EQ(sink->DispEventAdvise(source_.get()), S_OK);
        raw = sink.get();
    }
    EXPECT_EQ(raw->DispEventUnadvise(), S_OK);  // the sink goes away inside this call
    EXPECT_EQ(point_.SinkCount(), 0u);
}

TEST_F(ConnectionPointTest, RefusesWhatCannotConnect) {
    DWORD cookie = 1;
    auto plain = MakeComObject<Plain>();
    EXPECT_EQ(point_.Advise(plain.get(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(point_.Advise(nullptr, &cookie), E_POINTER);

    auto other = MakeComObject<CDispEventSink>(kOtherEvents, nullptr);
    EXPECT_EQ(other->DispEventAdvise(source_.get()), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(other->DispEventAdvise(plain.get()), CONNECT_E_CANNOTCONNECT);
    EXPECT_FALSE(other->IsConnected());
    EXPECT_EQ(other->DispEventUnadvise(), S_FALSE);

    auto sink = Sink("twice");
    EXPECT_EQ(sink->DispEventAdvise(source_.get()), S_OK);
    EXPECT_EQ(sink->DispEventAdvise(source_.get()), S_FALSE);
    EXPECT_EQ(point_.SinkCount(), 1u);
    sink->DispEventUnadvise();

    IID iid{};
    EXPECT_EQ(point_.GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, kEvents);
}

}  // namespace
