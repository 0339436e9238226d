// The virtual clock of the stand-in, with the thread timers in the loop's own queue: the
// loop is the stand-in's timer backend while it lives.
#include <chrono>
#include <thread>

#include "platform/Timer.h"
#include "simhost/EventLoop.h"

namespace sim {

class EventLoop::System final : public ITimerBackend {
  public:
    explicit System(EventLoop& loop) : loop_(loop) { SetTimerBackend(this); }
    ~System() { SetTimerBackend(nullptr); }
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    // Runs the first queued event at its due time.
    void RunOne() {
        auto [due, task] = loop_.TakeFirst();
        if (loop_.realtime_)
            SleepUntil(due);
        if (due > now)
            now = due;
        if (task)
            task();
    }

    void SleepUntil(Millis due) const {
        if (due > now)
            std::this_thread::sleep_for(std::chrono::milliseconds(due - now));
    }

    // ITimerBackend: thread timers repeat every interval until killed.
    UINT_PTR SetTimer(UINT elapseMs, TIMERPROC callback) override {
        UINT_PTR id = nextTimerId_++;
        timers.emplace(id, Timer{elapseMs, callback, Key{}});
        ScheduleTimer(id, now + elapseMs);
        return id;
    }

    bool KillTimer(UINT_PTR id) override {
        auto it = timers.find(id);
        if (it == timers.end())
            return false;
        loop_.queue_.erase(it->second.tick);
        timers.erase(it);
        return true;
    }

    Millis now = 0;
    struct Timer {
        UINT elapseMs;
        TIMERPROC callback;
        Key tick;  // the queued next tick
    };
    std::map<UINT_PTR, Timer> timers;

    bool Restart() {
        if (!loop_.queue_.empty() || !timers.empty())
            return false;
        now = 0;
        nextTimerId_ = 1;
        return true;
    }

  private:
    // A tick queues the next one before calling back, so that a callback that kills its
    // timer takes that next tick out of the queue again.
    void ScheduleTimer(UINT_PTR id, Millis due) {
        Key tick = loop_.Schedule(due, [this, id] {
            auto it = timers.find(id);
            if (it == timers.end())
                return;
            TIMERPROC callback = it->second.callback;
            ScheduleTimer(id, now + (it->second.elapseMs ? it->second.elapseMs : 1));
            callback(nullptr, WM_TIMER, id, static_cast<DWORD>(now));
        });
        timers.at(id).tick = tick;
    }

    EventLoop& loop_;
    UINT_PTR nextTimerId_ = 1;
};

EventLoop::EventLoop() : system_(std::make_unique<System>(*this)) {}

EventLoop::~EventLoop() = default;

Millis EventLoop::Now() const {
    return system_->now;
}

void EventLoop::NoteActivity() {}

bool EventLoop::ClockRuns() const {
    return false;
}

std::optional<Millis> EventLoop::NextDue() const {
    if (queue_.empty())
        return std::nullopt;
    return queue_.begin()->first.due;
}

bool EventLoop::Restart() {
    if (!system_->Restart())
        return false;
    nextSeq_ = 0;
    return true;
}

std::size_t EventLoop::LiveTimers() const {
    return system_->timers.size();
}

std::size_t EventLoop::Advance(Millis ms) {
    Millis end = system_->now + (ms < 0 ? 0 : ms);
    std::size_t ran = 0;
    while (!queue_.empty() && queue_.begin()->first.due <= end) {
        system_->RunOne();
        ++ran;
    }
    if (realtime_)
        system_->SleepUntil(end);
    system_->now = end;
    return ran;
}

RunResult EventLoop::RunUntilIdle(RunBound bound) {
    RunResult result;
    Millis limit = system_->now + bound.maxTime;
    while (!queue_.empty()) {
        if (result.events >= bound.maxEvents || queue_.begin()->first.due > limit) {
            result.hitBound = true;
            break;
        }
        system_->RunOne();
        ++result.events;
    }
    return result;
}

}  // namespace sim
