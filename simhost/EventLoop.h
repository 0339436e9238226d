// The simulated host's one-thread event loop: one queue of server messages and
// identification answers, ordered by due time, and the thread timers of the system it
// runs on. On the stand-in the clock is virtual and the loop keeps the thread timers in
// its own queue; on Windows the clock is the real one and the thread timers are the
// system's, delivered through the thread's message queue, which the loop pumps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

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
// with the rest: by due time, ties in the order they were queued. Only one loop may live
// at a time: the thread timers of the process are its own.
//
// An event is a queued task or a system message (a thread timer's tick). Where the
// system keeps the timers (Windows), the loop cannot see a timer before it fires; after
// each event it therefore counts as busy for a short settling time, longer than any
// timer the plug-in arms, and NextDue is the end of that time when nothing is queued
// sooner.
class EventLoop final {
  public:
    using Task = std::function<void()>;

    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    Millis Now() const;

    // Queues a task to run `delayMs` from now (a negative delay counts as 0).
    void Post(Millis delayMs, Task task);

    // Runs every event due up to now + ms, moving the clock to each event's due time,
    // and leaves the clock at now + ms.
    std::size_t Advance(Millis ms);

    // Runs events in due order, moving the clock, until the loop is idle or the bound is
    // reached.
    [[nodiscard]] RunResult RunUntilIdle(RunBound bound = {});

    // The plug-in ran outside the loop (a command of the player) and may have armed a
    // timer: where the system keeps the timers, the loop counts as busy for the settling
    // time after now. The virtual clock sees its timers and needs no such word.
    void NoteActivity();

    bool Idle() const { return !NextDue(); }
    // Back to the clock, sequence and timer numbers of a new loop; only an idle loop with
    // no live timers on a virtual clock may restart (false otherwise, and nothing changes).
    bool Restart();
    // Tasks queued (the system's timers are not counted).
    std::size_t Pending() const { return queue_.size(); }
    std::optional<Millis> NextDue() const;
    // Thread timers alive; only the virtual clock knows them.
    std::size_t LiveTimers() const;

    // Real-time mode, for a person watching: Advance and RunUntilIdle sleep until each
    // event's due time (one virtual millisecond per real millisecond). Where the clock is
    // the real one it always runs in real time.
    void SetRealtime(bool on) { realtime_ = on; }
    bool Realtime() const { return realtime_ || ClockRuns(); }
    // Whether the clock moves by itself (the real one): time that passed while nobody
    // ran the loop needs no catching up, only the events that fell due in it.
    bool ClockRuns() const;

  private:
    struct Key {
        Millis due;
        std::uint64_t seq;
        friend bool operator<(const Key& a, const Key& b) {
            return a.due != b.due ? a.due < b.due : a.seq < b.seq;
        }
    };
    // The clock, the thread timers and the waiting of the system the loop runs on
    // (EventLoopPosix.cpp or EventLoopWindows.cpp).
    class System;

    Key Schedule(Millis due, Task task);
    // Takes the first queued task out of the queue.
    std::pair<Millis, Task> TakeFirst();

    std::uint64_t nextSeq_ = 0;
    bool realtime_ = false;
    std::map<Key, Task> queue_;
    std::unique_ptr<System> system_;
};

}  // namespace sim
