// The event loop's queue, the same on every system.
#include "simhost/EventLoop.h"

namespace sim {

void EventLoop::Post(Millis delayMs, Task task) {
    Schedule(Now() + (delayMs < 0 ? 0 : delayMs), std::move(task));
}

EventLoop::Key EventLoop::Schedule(Millis due, Task task) {
    Key key{due, nextSeq_++};
    queue_.emplace(key, std::move(task));
    return key;
}

std::pair<Millis, EventLoop::Task> EventLoop::TakeFirst() {
    auto first = queue_.begin();
    std::pair<Millis, Task> taken{first->first.due, std::move(first->second)};
    queue_.erase(first);
    return taken;
}

}  // namespace sim
