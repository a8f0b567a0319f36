#include "platform/MemoryTimer.h"

namespace platform {

void MemoryTimer::start(int msec) {
    interval_ = msec;
    active_ = true;
}

bool MemoryTimer::fire() {
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
