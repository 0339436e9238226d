// The real clock and the thread's message queue: the plug-in's thread timers are the
// system's (SetTimer without a window), and their ticks arrive as WM_TIMER messages that
// DispatchMessage hands to the timer procedure. While it waits for its next task the
// loop pumps the messages, with a bounded wait.
#include <windows.h>

#include <algorithm>
#include <chrono>

#include "simhost/EventLoop.h"

namespace sim {

namespace {

// Longer than any step timer the plug-in arms (105 ms after a confirmation, 500 ms after a
// stack message during Store), with room for a busy machine, so that a tick still to come
// keeps the loop busy. A hot command's 2 s retry outlasts it: `wait` covers that.
constexpr Millis kSettleMs = 1000;

}  // namespace

class EventLoop::System {
  public:
    Millis Now() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

    // Dispatches one waiting message; false when none waits.
    bool DispatchOne() {
        MSG message;
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            return false;
        Touched();
        TranslateMessage(&message);
        DispatchMessageW(&message);
        Touched();  // counted from the end of a long callback
        return true;
    }

    // Waits until `due` or until a message arrives, whichever is first.
    void WaitUntil(Millis due) const {
        Millis left = due - Now();
        if (left <= 0)
            return;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }

    void Touched() { lastEvent_ = Now(); }
    // The end of the settling time after the last event, while it lasts.
    std::optional<Millis> SettlingUntil() const {
        if (!lastEvent_)
            return std::nullopt;
        Millis end = *lastEvent_ + kSettleMs;
        return end > Now() ? std::optional(end) : std::nullopt;
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::optional<Millis> lastEvent_;
};

EventLoop::EventLoop() : system_(std::make_unique<System>()) {
    // The thread's message queue exists from here on, before the plug-in arms a timer.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
}

EventLoop::~EventLoop() = default;

Millis EventLoop::Now() const {
    return system_->Now();
}

void EventLoop::NoteActivity() {
    system_->Touched();
}

// The system's clock cannot go back.
bool EventLoop::Restart() {
    return false;
}

bool EventLoop::ClockRuns() const {
    return true;
}

std::size_t EventLoop::LiveTimers() const {
    return 0;  // the system's timers are not visible to the loop
}

std::optional<Millis> EventLoop::NextDue() const {
    std::optional<Millis> due = system_->SettlingUntil();
    if (!queue_.empty())
        due = std::min(due.value_or(queue_.begin()->first.due), queue_.begin()->first.due);
    return due;
}

RunResult EventLoop::RunUntilIdle(RunBound bound) {
    RunResult result;
    const Millis limit = Now() + bound.maxTime;
    for (;;) {
        if (result.events >= bound.maxEvents) {
            result.hitBound = !Idle();
            break;
        }
        if (system_->DispatchOne()) {
            ++result.events;
            continue;
        }
        if (!queue_.empty() && queue_.begin()->first.due <= Now()) {
            auto [due, task] = TakeFirst();
            system_->Touched();
            if (task)
                task();
            system_->Touched();
            ++result.events;
            continue;
        }
        std::optional<Millis> due = NextDue();
        if (!due)
            break;
        if (*due > limit || Now() >= limit) {
            result.hitBound = true;
            break;
        }
        system_->WaitUntil(*due);
    }
    return result;
}

std::size_t EventLoop::Advance(Millis ms) {
    const Millis end = Now() + std::max<Millis>(ms, 0);
    std::size_t ran = 0;
    for (;;) {
        if (system_->DispatchOne()) {
            ++ran;
            continue;
        }
        if (!queue_.empty() && queue_.begin()->first.due <= Now()) {
            auto [due, task] = TakeFirst();
            system_->Touched();
            if (task)
                task();
            system_->Touched();
            ++ran;
            continue;
        }
        if (Now() >= end)
            break;
        Millis next = queue_.empty() ? end : std::min(end, queue_.begin()->first.due);
        system_->WaitUntil(next);
    }
    return ran;
}

}  // namespace sim
