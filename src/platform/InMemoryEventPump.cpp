#include "platform/InMemoryEventPump.h"

namespace platform {

void InMemoryEventPump::processPendingEvents() {
    ++mCalls;
    if (mCallback) {
        mCallback(mCalls);
    }
}

}  // namespace platform
