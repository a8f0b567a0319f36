// The timer of the desktop program, on QTimer.
#pragma once

#include "platform/Timer.h"

#include <QTimer>

namespace platform {

class QtTimer : public Timer {
    Q_OBJECT

public:
    explicit QtTimer(QObject* parent = nullptr);

    void start(int msec) override { timer_.start(msec); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }
    int interval() const override { return timer_.interval(); }
    void setSingleShot(bool singleShot) override { timer_.setSingleShot(singleShot); }
    bool isSingleShot() const override { return timer_.isSingleShot(); }

private:
    QTimer timer_;
};

}  // namespace platform
