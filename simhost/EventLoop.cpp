// The virtual-clock event loop and its thread timers.
#include "simhost/EventLoop.h"

#include <cassert>
#include <chrono>
#include <thread>

namespace sim {

EventLoop::EventLoop() {
    SetTimerBackend(this);
}

EventLoop::~EventLoop() {
    SetTimerBackend(nullptr);
}

void EventLoop::Post(Millis delayMs, Task task) {
    Schedule(now_ + (delayMs < 0 ? 0 : delayMs), std::move(task));
}

EventLoop::Key EventLoop::Schedule(Millis due, Task task) {
    Key key{due, nextSeq_++};
    queue_.emplace(key, std::move(task));
    return key;
}

std::optional<Millis> EventLoop::NextDue() const {
    if (queue_.empty())
        return std::nullopt;
    return queue_.begin()->first.due;
}

void EventLoop::RunOne() {
    auto first = queue_.begin();
    Millis due = first->first.due;
    Task task = std::move(first->second);
    queue_.erase(first);
    if (realtime_)
        SleepUntil(due);
    if (due > now_)
        now_ = due;
    if (task)
        task();
}

void EventLoop::SleepUntil(Millis due) {
    if (due > now_)
        std::this_thread::sleep_for(std::chrono::milliseconds(due - now_));
}

std::size_t EventLoop::Advance(Millis ms) {
    Millis end = now_ + (ms < 0 ? 0 : ms);
    std::size_t ran = 0;
    while (!queue_.empty() && queue_.begin()->first.due <= end) {
        RunOne();
        ++ran;
    }
    if (realtime_)
        SleepUntil(end);
    now_ = end;
    return ran;
}

RunResult EventLoop::RunUntilIdle(RunBound bound) {
    RunResult result;
    Millis limit = now_ + bound.maxTime;
    while (!queue_.empty()) {
        if (result.events >= bound.maxEvents || queue_.begin()->first.due > limit) {
            result.hitBound = true;
            break;
        }
        RunOne();
        ++result.events;
    }
    return result;
}

bool EventLoop::Restart() {
    if (!queue_.empty() || !timers_.empty())
        return false;
    now_ = 0;
    nextSeq_ = 0;
    nextTimerId_ = 1;
    return true;
}

UINT_PTR EventLoop::SetTimer(UINT elapseMs, TIMERPROC callback) {
    UINT_PTR id = nextTimerId_++;
    timers_.emplace(id, Timer{elapseMs, callback, Key{}});
    ScheduleTimer(id, now_ + elapseMs);
    return id;
}

bool EventLoop::KillTimer(UINT_PTR id) {
    auto it = timers_.find(id);
    if (it == timers_.end())
        return false;
    queue_.erase(it->second.tick);
    timers_.erase(it);
    return true;
}

// A tick queues the next one before calling back, so that a callback that kills its
// timer takes that next tick out of the queue again.
void EventLoop::ScheduleTimer(UINT_PTR id, Millis due) {
    Key tick = Schedule(due, [this, id] {
        auto it = timers_.find(id);
        if (it == timers_.end())
            return;
        TIMERPROC callback = it->second.callback;
        ScheduleTimer(id, now_ + (it->second.elapseMs ? it->second.elapseMs : 1));
        callback(nullptr, WM_TIMER, id, static_cast<DWORD>(now_));
    });
    timers_.at(id).tick = tick;
}

}  // namespace sim
