// The simulated host's one-thread event loop: a virtual clock and one queue of timers,
// server messages and identification answers, ordered by due time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

#include "platform/Timer.h"

namespace sim {

using Millis = std::int64_t;

// Where RunUntilIdle stops at the latest, so that a job that never ends cannot hang a
// test: after this many events, or when the next event is due later than this many
// milliseconds after the call began.
struct RunBound {
    std::size_t maxEvents = 100000;
    Millis maxTime = 60 * 60 * 1000;
};

struct RunResult {
    std::size_t events = 0;  // events run by the call
    bool hitBound = false;   // stopped by the bound with events still queued
    explicit operator bool() const { return !hitBound; }
};

// Everything runs on the caller's thread. Events queued by a running event are ordered
// with the rest: by due time, ties in the order they were queued. The loop installs
// itself as the platform's timer backend while it lives; only one loop may live at a time.
class EventLoop final : public ITimerBackend {
  public:
    using Task = std::function<void()>;

    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    Millis Now() const { return now_; }

    // Queues a task to run `delayMs` from now (a negative delay counts as 0).
    void Post(Millis delayMs, Task task);

    // Runs every event due up to now + ms, moving the clock to each event's due time,
    // and leaves the clock at now + ms.
    std::size_t Advance(Millis ms);

    // Runs events in due order, moving the clock, until the queue is empty or the bound
    // is reached.
    [[nodiscard]] RunResult RunUntilIdle(RunBound bound = {});

    bool Idle() const { return queue_.empty(); }
    std::size_t Pending() const { return queue_.size(); }
    std::optional<Millis> NextDue() const;
    std::size_t LiveTimers() const { return timers_.size(); }

    // Real-time mode, for a person watching: Advance and RunUntilIdle sleep until each
    // event's due time (one virtual millisecond per real millisecond).
    void SetRealtime(bool on) { realtime_ = on; }

    // ITimerBackend: thread timers repeat every interval until killed.
    UINT_PTR SetTimer(UINT elapseMs, TIMERPROC callback) override;
    bool KillTimer(UINT_PTR id) override;

  private:
    struct Key {
        Millis due;
        std::uint64_t seq;
        friend bool operator<(const Key& a, const Key& b) {
            return a.due != b.due ? a.due < b.due : a.seq < b.seq;
        }
    };
    struct Timer {
        UINT elapseMs;
        TIMERPROC callback;
        Key tick;  // the queued next tick
    };

    Key Schedule(Millis due, Task task);
    void ScheduleTimer(UINT_PTR id, Millis due);
    void RunOne();
    void SleepUntil(Millis due);

    Millis now_ = 0;
    std::uint64_t nextSeq_ = 0;
    UINT_PTR nextTimerId_ = 1;
    bool realtime_ = false;
    std::map<Key, Task> queue_;
    std::map<UINT_PTR, Timer> timers_;
};

}  // namespace sim
