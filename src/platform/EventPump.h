// "Let pending messages run": long loops hand control to the event loop after every step so that a
// Cancel click is seen.
#pragma once

namespace platform {

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processPendingEvents() = 0;
};

}  // namespace platform
