#include "platform/InMemoryTimer.h"

namespace platform {

void InMemoryTimer::start(int msec) {
    interval_ = msec;
    active_ = true;
}

bool InMemoryTimer::fire() {
    if (!active_) {
        return false;
    }
    if (singleShot_) {
        active_ = false;
    }
    emit timeout();
    return true;
}

}  // namespace platform
