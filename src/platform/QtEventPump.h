// Lets the Qt event loop deliver what is pending (a Cancel click during a long build).
#pragma once

#include "platform/EventPump.h"

namespace platform {

class QtEventPump : public EventPump {
public:
    void processPendingEvents() override;
};

}  // namespace platform
