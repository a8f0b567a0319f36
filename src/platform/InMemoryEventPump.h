// An event pump for headless runs: counts how often pending events were let through, and can run a step
// of the test at each call (for example pressing Cancel in the middle of a build).
#pragma once

#include "platform/EventPump.h"

#include <functional>

namespace platform {

class InMemoryEventPump : public EventPump {
public:
    // Runs at every call, with the call's number (1 for the first).
    void setCallback(std::function<void(int call)> callback) { mCallback = std::move(callback); }

    void processPendingEvents() override;
    int calls() const { return mCalls; }

private:
    int mCalls = 0;
    std::function<void(int)> mCallback;
};

}  // namespace platform
