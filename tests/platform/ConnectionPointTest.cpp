// Connection points and dispatch event sinks, above all changes made during dispatch.
#include "platform/ConnectionPoint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr IID kEvents = MakeGuid("11111111-2222-3333-4444-555555555555");

// An event source with one connection point, as a host object offers it.
class Source final : public ComObject<IConnectionPointContainer> {
  public:
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override {
        if (points)
            *points = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
        if ((*point = riid == kEvents ? point_.get() : nullptr))
            (*point)->AddRef();
        return *point ? S_OK : CONNECT_E_NOCONNECTION;
    }
    CComPtr<CConnectionPoint> point_ = MakeComObject<CConnectionPoint>(kEvents);
};

using Calls = std::vector<std::string>;

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
    CConnectionPoint& point_ = *source_->point_;
    Calls calls_;
};

// Event arguments are read by the plug-in from the simulated host's events and tested there.
// The sink after one that unadvises itself is still called; one advised during dispatch
// hears only later events.
TEST_F(ConnectionPointTest, SinksMayUnadviseThemselvesOrAdviseOthersDuringDispatch) {
    CComPtr<CDispEventSink> self;
    self = Sink("self", [&] { EXPECT_EQ(self->DispEventUnadvise(), S_OK); });
    auto late = Sink("late");
    auto early = Sink("early", [&] {
        if (!late->IsConnected())
            late->DispEventAdvise(source_.get());
    });
    ASSERT_EQ(self->DispEventAdvise(source_.get()), S_OK);
    ASSERT_EQ(early->DispEventAdvise(source_.get()), S_OK);
    point_.Fire(1);
    point_.Fire(2);
    EXPECT_EQ(calls_, (Calls{"self:1", "early:1", "early:2", "late:2"}));
    early->DispEventUnadvise();
    late->DispEventUnadvise();
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

TEST_F(ConnectionPointTest, TheSourceMayGoAwayDuringDispatch) {
    CComPtr<CConnectionPoint> point = &point_;
    CComPtr<CDispEventSink> sink;
    // Unadvising drops the sink's reference to the source.
    sink = Sink("sink", [&] { sink->DispEventUnadvise(); });
    ASSERT_EQ(sink->DispEventAdvise(source_.get()), S_OK);
    source_.Release();  // the sink now holds the only reference to the source
    point->Fire(1, {MakeVariantBstr("freed after dispatch")});
    EXPECT_EQ(calls_, Calls{"sink:1"});
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

// Cookies themselves are exercised by every advise and unadvise above.
TEST_F(ConnectionPointTest, RefusesWhatCannotConnect) {
    DWORD cookie = 0;
    EXPECT_EQ(point_.Advise(nullptr, &cookie), E_POINTER);
    auto other = MakeComObject<CDispEventSink>(IConnectionPoint::iid, nullptr);
    EXPECT_EQ(other->DispEventAdvise(source_.get()), CONNECT_E_NOCONNECTION);
    auto sink = Sink("twice");
    EXPECT_EQ(sink->DispEventAdvise(source_.get()), S_OK);
    EXPECT_EQ(sink->DispEventAdvise(source_.get()), S_FALSE);
    sink->DispEventUnadvise();
}

}  // namespace
