// A timer that fires only when told to, so tests decide when time has passed.
#pragma once

#include "platform/Timer.h"

namespace platform {

class InMemoryTimer : public Timer {
    Q_OBJECT

public:
    using Timer::Timer;

    void start(int msec) override;
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    int interval() const override { return interval_; }
    void setSingleShot(bool singleShot) override { singleShot_ = singleShot; }
    bool isSingleShot() const override { return singleShot_; }

    // Fires once if the timer is running; returns whether it fired.
    bool fire();

private:
    int interval_ = 0;
    bool active_ = false;
    bool singleShot_ = false;
};

}  // namespace platform
